// The two per-user INI files: Melotrix.INI with the version key and the
// twenty colour slots, and the OEM store RkmSeries.INI with the agent name
// shown in the window title. Both live in $XDG_CONFIG_HOME/DRN (default
// ~/.config/DRN) and are opened by their full path.
#pragma once

#include <QString>

#include "display/ColourScheme.h"
#include "platform/Status.h"

// Section "System", key "Version 6 ID": colours are read only under this value.
constexpr int kSettingsVersion = 0x20001023;
// The agent name when the OEM store names none.
constexpr const char* kDefaultAgentName = "DRN";
// At most this many characters of the agent name are kept.
constexpr int kAgentNameLength = 31;

// $XDG_CONFIG_HOME/DRN, else ~/.config/DRN.
QString SettingsFolder();
QString SettingsFilePath();  // .../Melotrix.INI
QString OemFilePath();       // .../RkmSeries.INI

// Resets every slot, then, only when the file carries the expected version,
// sets each slot from section "Color" in the order of the slot table. A
// missing key sets the slot to 0; a value that is not a number from 0 to
// 0xFFFFFF leaves the slot at its default. Nothing is redrawn.
void LoadColours(KColourScheme& scheme, const QString& path = SettingsFilePath());
// Writes the version key and the twenty slots, creating the file and its
// folder when missing.
KStatus SaveColours(const KColourScheme& scheme, const QString& path = SettingsFilePath());

// The agent name in the text of key "AgentName": blanks, then the prefix
// "DrnRkmSeriesAgentName_", then the name up to the first "*" or the end,
// cut to 31 characters; "DRN" when the prefix is missing or no name follows.
QString ScanAgentName(const QString& text);
// The agent name of section "OemInfo", key "AgentName" in the OEM store,
// read as the raw text of its line; "DRN" when the file or the key is
// missing or the file cannot be read.
QString ReadAgentName(const QString& path = OemFilePath());
