#pragma once

#include <QStringView>

namespace brevik::db {

// UTF-16 to UTF-8 exactly as QString::toUtf8 converts, a lone surrogate becoming '?', into out,
// which has room for three bytes a character; returns the end. Texts are bound and compared
// through this without an allocation of their own.
inline char* writeUtf8(QStringView text, char* out)
{
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
    while (at < end) {
        const char32_t c = *at++;
        if (c < 0x80) {
            *out++ = char(c);
        } else if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && at < end && *at >= 0xDC00 && *at <= 0xDFFF) {
                const char32_t full = 0x10000 + ((c - 0xD800) << 10) + (char32_t(*at++) - 0xDC00);
                *out++ = char(0xF0 | (full >> 18));
                *out++ = char(0x80 | ((full >> 12) & 0x3F));
                *out++ = char(0x80 | ((full >> 6) & 0x3F));
                *out++ = char(0x80 | (full & 0x3F));
            } else {
                *out++ = '?';
            }
        } else {
            *out++ = char(0xE0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace brevik::db
