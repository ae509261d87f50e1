' After unregistration the ProgID must be unknown: CreateObject fails, and says so.
On Error Resume Next
Dim mission
Set mission = CreateObject("Vyrmission.VYRMission")
If Err.Number = 0 Then
  WScript.Echo "FAIL: CreateObject still creates the class"
  WScript.Quit 1
End If
WScript.Echo "ALL OK"
