#pragma once

#include "platform/Messenger.h"

#include <cstdio>

// Messages of the shared start-up code, written to stderr for the command line.
class StreamMessenger : public Messenger {
public:
    Answer ask(const QString& text, const QString& title, Icon, Buttons buttons) override
    {
        std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(), text.toLocal8Bit().constData());
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::No : Answer::Ok;
    }
};
