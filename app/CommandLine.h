// The program's command line: main() joins its arguments into one text, and
// the entry splits that text into words again and looks for the editor
// switch "-e". Plain functions; main thread.
#pragma once
#include <string>
#include <vector>

// argv[1..argc-1] joined with single blanks (the program's own path left out).
std::string JoinArguments(int argc, const char* const* argv);

// The words of the text: the blank (code 32) is the only separator, runs of
// blanks give no empty words, and quotes are ordinary characters. A null or
// all-blank text gives no words.
std::vector<std::string> SplitCommandLine(const char* text);

// The first word that is exactly "-e", or last.
std::vector<std::string>::const_iterator FindEditorSwitch(std::vector<std::string>::const_iterator first,
                                                          std::vector<std::string>::const_iterator last);
