// Messages of the map editor's checks, shown in its Info panel with the default beep.
#pragma once

namespace tessel::editor_message {

constexpr const char* kNoMaps = "There are no maps yet. (Create a map first)";
constexpr const char* kNoMapSelected = "There is no selected map. (Select a map first)";
constexpr const char* kMapNotEditable = "This map cannot be edited. (Select another map)";
constexpr const char* kNoKey = "Missing key selection. (Select a key)";
constexpr const char* kKeyIsSelector = "Used as selector. (Select another key)";
constexpr const char* kKeyIsDeadKey = "Used as dead key. (Select another key)";
constexpr const char* kNoText = "No ";
constexpr const char* kBadName = "Not valid mapname";
constexpr const char* kNameTaken = "Map already exists with this name";

}  // namespace tessel::editor_message
