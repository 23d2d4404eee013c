// lumora-book's command line, callable in-process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit status: 0 done, 1 the book or an output failed, 2 usage error.
int RunBookCompiler(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
