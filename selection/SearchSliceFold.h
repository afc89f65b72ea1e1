#pragma once

#include <QByteArray>
#include <cstdint>
#include <string>
#include <vector>

class SearchLines;
struct SearchOption;

// One option's slice of every line as a keystroke's quick test reads it: plain ASCII
// with A-Z lower-cased, one byte a character, by entry. A slice holding anything else
// is marked, for only the pattern can judge it. Half the bytes of the lines' own
// slices and no case to fold per character, so a search that finds nothing reads
// little memory.
class SearchSliceFold {
public:
    void build(const SearchLines& lines, const SearchOption& option);
    bool isBuiltFor(const SearchLines& lines) const;
    // Whether the entry's slice may match a pattern whose every match contains `run`
    // (lower-case ASCII): it holds the run, or it is marked.
    bool mayHold(int32_t entry, const QByteArray& run) const;
    size_t memoryBytes() const { return m_text.capacity() + m_starts.capacity() * sizeof(uint32_t); }

private:
    static constexpr uint32_t Marked = 0x80000000u;

    std::string m_text;
    // Each entry's start in m_text, Marked set for a marked slice; one more for the end.
    std::vector<uint32_t> m_starts;
};
