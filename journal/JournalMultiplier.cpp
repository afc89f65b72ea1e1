#include "journal/JournalMultiplier.h"

#include "platform/BasicRuntime.h"

#include <cmath>

namespace {

// The dialect's trim: blanks only, tabs stay.
QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

// str(val(value) op multiplier), NULL kept; a product the engine cannot hold (NaN)
// is NULL there too.
QString scaled(const QString& value, double multiplier, JournalMultiplier::Step step)
{
    if (value.isNull())
        return value;
    const double number = BasicRuntime::val(value);
    const double result = step == JournalMultiplier::Step::Apply ? number * multiplier : number / multiplier;
    return std::isnan(result) ? QString() : BasicRuntime::str(result);
}

// The rows the update touches: readings with a multiplier that is a number other than 0.
bool isScaled(const JournalRow& row, double& multiplier)
{
    if (row.dorder > 1 || row.mult.isNull())
        return false;
    multiplier = BasicRuntime::val(row.mult);
    return multiplier != 0;
}

// Where "MULT:" starts (any case, as instr compares text), -1 when it does not.
qsizetype multiplierMark(const QString& descr)
{
    return descr.indexOf(QLatin1String("MULT:"), 0, Qt::CaseInsensitive);
}

} // namespace

bool JournalMultiplier::rescale(std::vector<JournalRow>& rows, Step step)
{
    double multiplier = 0;
    if (step == Step::Apply) {
        for (const JournalRow& row : rows)
            if (isScaled(row, multiplier) && !row.descr.isNull() && multiplierMark(row.descr) < 0)
                return false;
    }
    for (JournalRow& row : rows) {
        if (!isScaled(row, multiplier))
            continue;
        row.prev = scaled(row.prev, multiplier, step);
        row.pres = scaled(row.pres, multiplier, step);
        row.usage = scaled(row.usage, multiplier, step);
        if (step == Step::Remove)
            row.descr = trimBlanks(row.descr + QLatin1String(" MULT:") + row.mult);
        else if (!row.descr.isNull())
            row.descr = trimBlanks(row.descr.left(multiplierMark(row.descr)));
    }
    return true;
}
