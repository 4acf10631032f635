#pragma once
// Base64 (RFC 4648, with padding): how the JSON carries raw bytes.

#include <string>
#include <string_view>

void AppendBase64(std::string_view bytes, std::string& out);

// False for text that is not base64 with padding (no spaces, no line breaks).
bool DecodeBase64(std::string_view text, std::string& bytes);
