// The live results from the command line: the site written into a folder, served on
// the network, and the notice with its QR code.
#pragma once

#include <string>
#include <vector>

namespace vm::cli {

// publish FILE DIR
int CmdPublish(const std::vector<std::string>& args);
// serve FILE [--port P] [--bind ADDR]
int CmdServe(const std::vector<std::string>& args);
// poster FILE OUT.pdf --url URL
int CmdPoster(const std::vector<std::string>& args);

} // namespace vm::cli
