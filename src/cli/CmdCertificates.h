// velmora-cli print ... --list certificates: the certificates as a PDF file.
#pragma once

#include <string>
#include <vector>

namespace vm::cli {

// True when the print command's arguments ask for the certificates.
bool IsCertificatesList(const std::vector<std::string>& args);
// print FILE OUT.pdf --list certificates [--places N] [--age-class NAME]...
//       [--layout klassisch|modern|vorgedruckt] [--template FILE.urk] [--preprinted]
int CmdCertificates(const std::vector<std::string>& args);

} // namespace vm::cli
