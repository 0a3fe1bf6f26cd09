// Key file faults: each takes a file the bundled component wrote well and
// spoils it the way a careless component would.
#pragma once

#include <string>

namespace faulty {

// Appends the PEM private key of rkyPath to the public key file.
bool AppendPrivateKey(const std::string& wkyPath, const std::string& rkyPath);
// Appends the private exponent of rkyPath as text: decimal, and hex in
// capitals with colons between the bytes, as key dumps print it.
bool AppendPrivateExponentText(const std::string& wkyPath, const std::string& rkyPath);
// Rewrites a PKCS #8 private key file as the traditional 'RSA PRIVATE KEY'.
bool RewriteTraditional(const std::string& rkyPath);
// Gives the file the mode a plain creat(path, 0666) would: what the umask
// leaves.
void ModeByUmask(const std::string& path);
// Writes the user id and code of an .asy record with their %HH escapes undone.
bool UnescapeAsyTexts(const std::string& asyPath);

}  // namespace faulty
