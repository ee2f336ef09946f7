#include "engine/install_data_format.h"

namespace install_data {

namespace {

bool is_space(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

std::u16string padded(std::uint32_t value, int base, std::size_t width)
{
    const char16_t* digits = u"0123456789abcdef";
    std::u16string s;
    do {
        s.insert(s.begin(), digits[value % base]);
        value /= base;
    } while (value);
    if (s.size() < width) s.insert(0, width - s.size(), u'0');
    return s;
}

void trim_right(std::u16string& s)
{
    while (!s.empty() && is_space(s.back())) s.pop_back();
}

void trim_left(std::u16string& s)
{
    std::size_t i = 0;
    while (i < s.size() && is_space(s[i])) ++i;
    s.erase(0, i);
}

// Removes the label where it is found (text before it stays); false when absent.
bool take_after(std::u16string& s, std::u16string_view label)
{
    auto at = s.find(label);
    if (at == std::u16string::npos) return false;
    s.erase(at, label.size());
    return true;
}

class cursor {
public:
    explicit cursor(const std::u16string& s) : s_(s) {}
    void skip_space() { while (i_ < s_.size() && is_space(s_[i_])) ++i_; }
    bool number(int base, std::uint32_t& value)
    {
        skip_space();
        std::size_t start = i_;
        std::uint64_t v = 0;
        while (i_ < s_.size()) {
            char16_t c = s_[i_];
            int d = c >= u'0' && c <= u'9' ? c - u'0'
                  : base == 16 && c >= u'a' && c <= u'f' ? c - u'a' + 10
                  : base == 16 && c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
            if (d < 0) break;
            v = v * base + d;
            if (v > 0xFFFFFFFFu) return false;
            ++i_;
        }
        value = static_cast<std::uint32_t>(v);
        return i_ > start;
    }
    bool character(char16_t c)
    {
        skip_space();
        if (i_ >= s_.size() || s_[i_] != c) return false;
        ++i_;
        return true;
    }
    bool character_of(std::u16string_view set, char16_t& c)
    {
        skip_space();
        if (i_ >= s_.size() || set.find(s_[i_]) == std::u16string_view::npos) return false;
        c = s_[i_++];
        return true;
    }
    // A whitespace-delimited word.
    std::u16string word()
    {
        skip_space();
        std::size_t start = i_;
        while (i_ < s_.size() && !is_space(s_[i_])) ++i_;
        return s_.substr(start, i_ - start);
    }
    std::u16string rest()
    {
        skip_space();
        return s_.substr(i_);
    }

private:
    const std::u16string& s_;
    std::size_t i_ = 0;
};

template <typename Line, typename Unit>
std::vector<std::optional<Line>> split(const Unit* data, std::size_t count, std::size_t maxLength)
{
    std::vector<std::optional<Line>> lines;
    std::size_t start = 0;
    while (start < count) {
        std::size_t end = start;
        while (end < count && data[end] != Unit('\n')) ++end;
        if (end < count) ++end;   // the line feed belongs to the line
        std::size_t length = end - start;
        if (length > maxLength) lines.emplace_back(std::nullopt);
        else lines.emplace_back(Line(data + start, data + end));
        start = end;
    }
    return lines;
}

} // namespace

std::vector<std::u16string> header_lines(std::u16string_view product, std::u16string_view previousProduct,
                                         std::u16string_view installFolder, std::u16string_view startMenuFolder)
{
    std::u16string install = u"Install " + std::u16string(product);
    if (!previousProduct.empty()) install += u" -- Update (" + std::u16string(previousProduct) + u")";
    std::u16string shortcut = u"Shortcut Path : " + std::u16string(startMenuFolder);
    std::vector<std::u16string> texts = {
        u"Uninstall Log File v1",
        u"############ WARNING: Do not delete or modify this file. ############",
        install,
        u"Install Path : " + std::u16string(installFolder),
        shortcut,
        std::u16string(shortcut.size(), u'-'),
    };
    for (auto& t : texts) t = u"// " + t + u"\r\n";
    return texts;
}

std::u16string entry_line(std::size_t index, const entry& e)
{
    std::u16string path = e.kind == EntryKind::UninstallKey  ? std::u16string(uninstall_key_text)
                        : e.kind == EntryKind::Registration ? std::u16string(registration_text)
                                                            : e.path;
    std::uint32_t kindAndCode = static_cast<std::uint32_t>(e.kind) * 256 + (static_cast<std::uint32_t>(e.code) & 0xFF);
    return padded(static_cast<std::uint32_t>(index), 10, 4) + u":" + padded(kindAndCode, 16, 4) + u":" +
           (e.ok ? u"1" : u"0") + u" -- " + path + u"\r\n";
}

std::vector<std::optional<std::u16string>> split_utf16_lines(std::string_view bytes)
{
    std::u16string units;
    std::size_t start = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                                static_cast<unsigned char>(bytes[1]) == 0xFE
                            ? 2 : 0;
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    return split<std::u16string>(units.data(), units.size(), max_utf16_line);
}

std::vector<std::optional<std::string>> split_narrow_lines(std::string_view bytes)
{
    return split<std::string>(bytes.data(), bytes.size(), max_narrow_line);
}

bool reader::line(std::u16string text)
{
    if (stopped_) return false;
    if (text.empty()) return true;   // a piece of zero length at the very end
    trim_right(text);
    bool go_on = text.rfind(u"//", 0) == 0 ? header(std::move(text)) : entry_line(text);
    ++processed_;
    if (!go_on) stopped_ = true;
    return go_on;
}

bool reader::header(std::u16string text)
{
    std::size_t slashes = 0;
    while (slashes < text.size() && text[slashes] == u'/') ++slashes;
    text.erase(0, slashes);
    trim_left(text);
    switch (processed_) {
    case 0: {
        if (!take_after(text, u"Uninstall Log File v")) return false;
        cursor c(text);
        std::uint32_t v = 0;
        version_ = c.number(10, v) ? static_cast<long>(v) : 0;
        return version_ == 1;
    }
    case 2: {
        if (!take_after(text, u"Install")) return false;
        if (auto dashes = text.find(u"--"); dashes != std::u16string::npos) text.erase(dashes);
        trim_left(text);
        trim_right(text);
        result_.product = text;
        return true;
    }
    case 3:
    case 4: {
        if (!take_after(text, processed_ == 3 ? u"Install Path : " : u"Shortcut Path : ")) return false;
        trim_left(text);
        trim_right(text);
        (processed_ == 3 ? result_.installPath : result_.shortcutPath) = text;
        return true;
    }
    default:
        return true;
    }
}

bool reader::entry_line(const std::u16string& text)
{
    if (version_ != 1) return false;
    cursor c(text);
    std::uint32_t index = 0, value = 0;
    char16_t ok = 0;
    if (!c.number(10, index) || !c.character(u':') || !c.number(16, value) || !c.character(u':') ||
        !c.character_of(u"01", ok) || c.word() != u"--")
        return false;
    std::uint32_t kind = value >> 8;
    if (kind > 7) return false;
    entry e;
    e.kind = static_cast<EntryKind>(kind);
    e.code = (value & 0xFF) == 0xFF ? -1 : static_cast<std::int32_t>(value & 0xFF);
    e.ok = ok == u'1';
    if (e.kind != EntryKind::UninstallKey && e.kind != EntryKind::Registration) e.path = c.rest();
    result_.entries.push_back(std::move(e));
    return true;
}

} // namespace install_data
