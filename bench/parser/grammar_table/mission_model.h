// The model the grammar-table parser fills: the plain shape a generated parser's actions build
// (records owned through vectors of pointers, names copied into them, a hash map per kind of name).
// It exists to give the hand-written parser a reference to be measured against.
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace grammar_table {

struct Location {
  std::string name;
  float x = 0, y = 0, z = 0;
};

struct Area {
  std::string name;
  int style = 0;
  int radius = 0;
  std::vector<std::string> lists[4];  // locations, entrances, exits, windows
};

struct Actor {
  int type = 0;
  std::string name, model;
  std::vector<std::string> weapons, items;
  std::vector<std::pair<std::string, int>> ammo;
  float skill = 1;
};

struct Instruction;
using InstructionList = std::vector<Instruction*>;

struct Instruction {
  int kind = 0;
  std::string owner, first, second, text;
  float value = 0;
  int events = 0;
  std::vector<std::string> patrol;
  InstructionList* body = nullptr;
};

struct Team {
  std::string name;
  std::vector<Actor*> actors;
  InstructionList plan;
};

struct Force {
  std::string name;
  std::vector<Team*> teams;
};

struct Condition {
  int kind = 0;
  std::string name;
  int value = 0;
  Condition* left = nullptr;
  Condition* right = nullptr;
};

struct Objective {
  int type = 0;
  std::string owner, message;
  Condition* condition = nullptr;
  std::vector<std::string> next;
};

struct Mission {
  std::string name, author, description, map, annotation;
  int map_styles = 0;
  std::vector<std::pair<std::string, int>> rules;
  std::vector<Location*> locations;
  std::vector<Area*> areas;
  std::vector<Force*> forces;
  std::vector<Team*> teams;
  std::vector<Actor*> actors;
  std::vector<Objective*> objectives;
  std::unordered_map<std::string, Location*> location_names;
  std::unordered_map<std::string, Area*> area_names;
  std::unordered_map<std::string, Force*> force_names;
  std::unordered_map<std::string, Team*> team_names;
  std::unordered_map<std::string, Actor*> actor_names;
};

// Parses the file into `mission`: 0 parsed, 1 the file could not be opened, 2 a parse problem
// (its messages on standard error).
int ParseFile(const char* path, Mission& mission);

}  // namespace grammar_table
