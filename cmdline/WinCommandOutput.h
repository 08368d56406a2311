// Where a command-line run tells what happened: the console of the process
// that started Orvelle, and the log file.
#pragma once
#include <string>

// Writes |text| (the program's text) to the standard output that Orvelle was
// given, or else to the console of the process that started it, as wide
// characters so that the console shows the Japanese text whatever its code
// page; to a file or pipe it goes as UTF-8. Nothing when there is neither.
void TellStarter(const std::string& text);

// Appends the bytes |line| to the file |path| (the program's text), creating
// it; false when it cannot be written.
bool AppendToLog(const std::string& path, const std::string& line);
