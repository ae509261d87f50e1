' A late-bound client of VYRMission, as a script host runs one: every argument that is a variable
' arrives as a by-reference VARIANT. Arguments: the example mission, then a file to generate.
' Prints one FAIL line per fault and "ALL OK" when there was none; cscript exits 0 either way.
Option Explicit
On Error Resume Next

Dim failures
failures = 0

Sub Called(what)
  If Err.Number <> 0 Then
    WScript.Echo "FAIL: " & what & ": error 0x" & Hex(Err.Number) & " " & Err.Description
    failures = failures + 1
    Err.Clear
  End If
End Sub

Sub Expect(what, actual, expected)
  If TypeName(actual) <> TypeName(expected) Or CStr(actual) <> CStr(expected) Then
    WScript.Echo "FAIL: " & what & ": got " & TypeName(actual) & " [" & actual & "], expected " & _
                 TypeName(expected) & " [" & expected & "]"
    failures = failures + 1
  End If
End Sub

Dim mission, result, value, index, count
Dim aType, aName, aSkin, aSkill, label, x, y, z, force, team
Dim areaName, styles, locations, entrances, exits, windows, radius
Dim owner, message, conditions, nextCount, teamName, teamDescription, actors

Set mission = CreateObject("Vyrmission.VYRMission")
Called "CreateObject"
If mission Is Nothing Or IsEmpty(mission) Then
  WScript.Echo "FAIL: no object"
  WScript.Quit 1
End If

mission.CloseMission
Called "CloseMission"
result = mission.TryParseMission(WScript.Arguments(0))
Called "TryParseMission"
Expect "TryParseMission", result, CInt(0)

value = mission.MissionTitle() : Called "MissionTitle"
Expect "MissionTitle", value, "Warehouse raid"
value = mission.MissionAuthor() : Called "MissionAuthor"
Expect "MissionAuthor", value, "J. Doe"
value = mission.MissionMap() : Called "MissionMap"
Expect "MissionMap", value, "urban/ware1"
value = mission.MissionDescription() : Called "MissionDescription"
Expect "MissionDescription", value, "Go in. Kill all."
value = mission.GetRawMissionDescription() : Called "GetRawMissionDescription"
Expect "GetRawMissionDescription", value, "Go in.\nKill all."
value = mission.GetMapAnnotation() : Called "GetMapAnnotation"
Expect "GetMapAnnotation", value, "Two floors and a roof"
value = mission.GetMapStyles() : Called "GetMapStyles"
Expect "GetMapStyles", value, CInt(6)

count = mission.ActorCount() : Called "ActorCount"
Expect "ActorCount", count, CInt(3)
index = 0
mission.ActorInfo index, aType, aName, aSkin, aSkill : Called "ActorInfo"
Expect "ActorInfo type", aType, "npc"
Expect "ActorInfo name", aName, "bob"
Expect "ActorInfo model and skin", aSkin, "terror/terror"
Expect "ActorInfo skill", aSkill, CSng(2)
mission.ActorInfo 2, aType, aName, aSkin, aSkill : Called "ActorInfo 2"
Expect "ActorInfo 2 type", aType, "player"

' An invalid index leaves every out-parameter as it was.
aType = "kept" : aName = "kept" : aSkin = "kept" : aSkill = CSng(-1)
mission.ActorInfo -1, aType, aName, aSkin, aSkill : Called "ActorInfo -1"
mission.ActorInfo count, aType, aName, aSkin, aSkill : Called "ActorInfo count"
Expect "ActorInfo invalid type", aType, "kept"
Expect "ActorInfo invalid name", aName, "kept"
Expect "ActorInfo invalid skill", aSkill, CSng(-1)
label = "kept" : x = CSng(-1)
mission.GetLocationData 3, label, x, y, z : Called "GetLocationData 3"
Expect "GetLocationData invalid", label & x, "kept-1"

mission.GetLocationData 1, label, x, y, z : Called "GetLocationData"
Expect "GetLocationData label", label, "hq"
Expect "GetLocationData z", z, CSng(7)
mission.GetActorForceAndTeam 2, force, team : Called "GetActorForceAndTeam"
Expect "GetActorForceAndTeam", force & "/" & team, "red/reds"
mission.GetAreaData 0, areaName, styles, locations, entrances, exits, windows, radius : Called "GetAreaData"
Expect "GetAreaData", areaName & " " & styles & " " & locations & " " & entrances & " " & exits & " " & _
       windows & " " & radius, "yard 1 2 1 1 0 40"
value = mission.GetAreaLocationLabel(0, 1) : Called "GetAreaLocationLabel"
Expect "GetAreaLocationLabel", value, "hq"
value = mission.GetAreaLocationLabel(0, 5) : Called "GetAreaLocationLabel 5"
Expect "GetAreaLocationLabel outside", value, ""
value = mission.GetObjectiveCount() : Called "GetObjectiveCount"
Expect "GetObjectiveCount", value, CInt(2)
mission.GetObjectiveData 1, aType, owner, message, conditions, nextCount : Called "GetObjectiveData"
Expect "GetObjectiveData", aType & " " & owner & " " & message & " " & nextCount, "success alpha won 2"
value = mission.GetObjectiveNextMission(1, 1) : Called "GetObjectiveNextMission"
Expect "GetObjectiveNextMission", value, "menu"
value = mission.GetTeamPlan("alpha") : Called "GetTeamPlan"
Expect "GetTeamPlan has text", Len(value) > 0, True
value = mission.GetTeamPlan("nobody") : Called "GetTeamPlan nobody"
Expect "GetTeamPlan nobody", value, ""

' Weapons by name ignoring case when counted, exactly when set.
value = mission.GetActorItemCount(0, "handcannon") : Called "GetActorItemCount"
Expect "GetActorItemCount", value, CInt(2)
mission.SetActorItemCount 0, "Handcannon", 1 : Called "SetActorItemCount 1"
Expect "after setting 1", mission.GetActorItemCount(0, "Handcannon"), CInt(1)
mission.SetActorItemCount 0, "Handcannon", 3 : Called "SetActorItemCount 3"
Expect "after setting 3", mission.GetActorItemCount(0, "Handcannon"), CInt(3)
mission.SetActorItemCount 0, "handcannon", 2 : Called "SetActorItemCount lower case"
Expect "lower case name changes nothing", mission.GetActorItemCount(0, "Handcannon"), CInt(3)
mission.SetActorItemCount 0, "M4 Clip", 0 : Called "SetActorItemCount M4 Clip"
Expect "ammunition removed", mission.GetActorItemCount(0, "M4 Clip"), CInt(0)

mission.OverallSkill = 2.5 : Called "OverallSkill put"
value = mission.OverallSkill : Called "OverallSkill get"
Expect "OverallSkill", value, CSng(2.5)

' IVYRMission2 through the same IDispatch.
value = mission.GetForceCount() : Called "GetForceCount"
Expect "GetForceCount", value, CLng(2)
mission.GetTeamData 0, 0, teamName, teamDescription, actors : Called "GetTeamData"
Expect "GetTeamData", teamName & " " & actors, "alpha 2"

' What was changed survives a write and a second parse.
mission.GenerateMission WScript.Arguments(1) : Called "GenerateMission"
mission.CloseMission : Called "CloseMission"
Expect "closed", mission.ActorCount(), CInt(0)
result = mission.TryParseMission(WScript.Arguments(1)) : Called "TryParseMission generated"
Expect "TryParseMission generated", result, CInt(0)
Expect "generated actors", mission.ActorCount(), CInt(3)
Expect "generated weapons", mission.GetActorItemCount(0, "Handcannon"), CInt(3)
mission.ActorInfo 1, aType, aName, aSkin, aSkill : Called "ActorInfo generated"
Expect "generated skill", aSkill, CSng(2.5)
mission.CloseMission
Expect "missing file", mission.TryParseMission(WScript.Arguments(1) & ".missing"), CInt(1)
Called "TryParseMission missing"

Set mission = Nothing
If failures > 0 Then
  WScript.Echo failures & " FAILED"
  WScript.Quit 1
End If
WScript.Echo "ALL OK"
