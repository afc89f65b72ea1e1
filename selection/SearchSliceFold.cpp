#include "selection/SearchSliceFold.h"

#include "selection/SearchLines.h"
#include "selection/SearchOption.h"

#include <string_view>

void SearchSliceFold::build(const SearchLines& lines, const SearchOption& option)
{
    m_starts.assign(static_cast<size_t>(lines.size()) + 1, 0);
    size_t characters = 0;
    for (int32_t entry = 0; entry < lines.size(); ++entry)
        characters += static_cast<size_t>(option.slice(lines.entryText(entry)).size());
    m_text.resize(characters);
    char* out = m_text.data();
    for (int32_t entry = 0; entry < lines.size(); ++entry) {
        const QStringView slice = option.slice(lines.entryText(entry));
        const char16_t* in = slice.utf16();
        char16_t beyond = 0;
        for (qsizetype i = 0; i < slice.size(); ++i) {
            const char16_t u = in[i];
            beyond |= u & 0xff80;
            out[i] = static_cast<char>(u >= u'A' && u <= u'Z' ? u + 32 : u);
        }
        m_starts[static_cast<size_t>(entry)] = static_cast<uint32_t>(out - m_text.data()) | (beyond ? Marked : 0);
        out += slice.size();
    }
    m_starts.back() = static_cast<uint32_t>(characters);
}

bool SearchSliceFold::isBuiltFor(const SearchLines& lines) const
{
    return m_starts.size() == static_cast<size_t>(lines.size()) + 1;
}

bool SearchSliceFold::mayHold(int32_t entry, const QByteArray& run) const
{
    const uint32_t start = m_starts[static_cast<size_t>(entry)];
    if (start & Marked)
        return true;
    const uint32_t end = m_starts[static_cast<size_t>(entry) + 1] & ~Marked;
    const std::string_view slice(m_text.data() + start, end - start);
    return slice.find(std::string_view(run.constData(), static_cast<size_t>(run.size()))) != std::string_view::npos;
}
