// Texts in the system ANSI code page, as the device stores names and strings:
// GBK (code page 936) while the interface is Chinese, else Windows-1252.
// Conversions go through the C library's iconv.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// 936 while g_languageId is Chinese, else 1252.
int SystemAnsiCodePage();

// text in code page 936 or 1252, cut after the last whole character that
// fits into maxBytes (no terminator added). A character the code page
// lacks becomes '?'.
std::string EncodeAnsi(const std::wstring& text, size_t maxBytes, int codePage);
std::string EncodeAnsi(const std::wstring& text, size_t maxBytes);

// At most n bytes, up to the first zero, decoded from the code page; bytes
// that form no character become U+FFFD. Never reads past n.
std::wstring DecodeAnsi(const char* bytes, size_t n, int codePage);
std::wstring DecodeAnsi(const char* bytes, size_t n);

// File names: the program's wide strings and the system's UTF-8 paths.
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
