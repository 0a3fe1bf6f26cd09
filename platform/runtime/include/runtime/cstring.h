// The framework's string type: an owned byte string (UTF-8) with the handful
// of operations the programs use. Formatting is printf-style and checked by
// the compiler.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(std::string text) : m_text(std::move(text)) {}
    CString(std::string_view text) : m_text(text) {}

    [[gnu::format(printf, 2, 3)]] void Format(const char* format, ...);

    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    // Index of the last occurrence of ch, or -1.
    int ReverseFind(char ch) const;
    // The first count characters (all of them when count is larger).
    CString Left(int count) const;

    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }

    CString& operator+=(const CString& other)
    {
        m_text += other.m_text;
        return *this;
    }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const char* b) { return a += CString(b); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }

private:
    std::string m_text;
};
