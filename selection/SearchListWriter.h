#pragma once

#include "platform/Outcome.h"
#include "selection/SearchLines.h"
#include "selection/SearchSourceRows.h"

#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <thread>

// Writes a built list into histsrch and prepares every option's re-sort order, on a
// thread of its own, so the list can be shown and searched meanwhile. The lines must
// not change until finish() has returned; histsrch is complete only then.
class SearchListWriter {
public:
    using Progress = std::function<void()>;

    SearchListWriter() = default;
    ~SearchListWriter();
    SearchListWriter(const SearchListWriter&) = delete;
    SearchListWriter& operator=(const SearchListWriter&) = delete;

    // `rows` are the billing rows the entries of `lines` were laid out from: entry N
    // from row rowOfEntry[N].
    void start(const QString& workPath, int busyTimeoutMs, const SearchLines& lines, SearchSourceRows rows,
               std::vector<int32_t> rowOfEntry);
    bool started() const { return m_thread.joinable(); }
    // Waits for the work, calling `progress` now and then, and hands the re-sort
    // orders to `lines`. Says why when histsrch could not be written.
    Outcome finish(SearchLines& lines, const Progress& progress = {});
    // Stops the work as soon as it can; histsrch is then left empty.
    void cancel();

private:
    void run();
    Outcome write();

    QString m_workPath;
    int m_busyTimeoutMs = 0;
    const SearchLines* m_lines = nullptr;
    SearchSourceRows m_rows;
    std::vector<int32_t> m_rowOfEntry;
    std::array<std::vector<int32_t>, SearchLines::OptionCount> m_orders;
    Outcome m_outcome;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};
