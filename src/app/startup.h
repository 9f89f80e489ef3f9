#pragma once
// Start-up and exit of the program, as plain procedures over the workspace.

#include <string>

#include "data/record.h"

namespace ws {

class Prompter;

// Steps of the main window's load that need no window: defaults, options.sav, switches,
// the chosen port and speed, and the working file. `currentDir` is the folder the program was
// started in. The working file is read from HomeDir, the same folder the exit writes it to.
void StartUp(Workspace& ws, Prompter& prompter, const std::string& currentDir);

// The port button start-up chooses: 1 for "COM1", 2 for anything else.
int PortIndexFor(const std::string& portName);
// The speed button for a rate: 1, 2, 3 for 2400, 9600, 57600; 1 for anything else.
int16_t BaudIndexFor(int32_t baudRate);
int32_t BaudRateFor(int16_t baudIndex);

// Exit: options.sav and temp.mem into HomeDir. Both are attempted even if one fails.
void ShutDown(Workspace& ws, Prompter& prompter);

}  // namespace ws
