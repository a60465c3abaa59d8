#pragma once
// What a link names, as far as its start is concerned.
#include <string>

// Whether a link takes arguments: a program or a shortcut (to one) does; a web address or a
// document does not (the program that opens a document is the shell's choice, and its
// command line is not the user's to extend). A path without an extension counts as a program,
// which is how the shell looks for it.
bool LinkTakesArguments(const std::string& link);
// Whether the link starts with a scheme of two or more characters ("https:", "mailto:"); a
// drive letter ("C:") is no scheme.
bool IsAddressLink(const std::string& link);
