#include "selection/widgets/SearchBoxInput.h"

#include "selection/widgets/KeyAscii.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <memory>

SearchBoxInput::SearchBoxInput(QLineEdit* box, Handlers handlers)
    : QObject(box)
    , m_box(box)
    , m_handlers(std::move(handlers))
{
    box->installEventFilter(this);
}

bool SearchBoxInput::eventFilter(QObject* watched, QEvent* event)
{
    return (watched == m_box && handle(event)) || QObject::eventFilter(watched, event);
}

// True when the box's own handling of the event is replaced.
bool SearchBoxInput::handle(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        // Every return of the focus starts the search afresh, so the box and the
        // search never disagree; only a closing context menu is no new visit.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            m_handlers.entered();
        return false;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            paste(QGuiApplication::clipboard()->text());
            return true;
        }
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll))
            return false;
        // Any other Ctrl combination types a control character, and an Alt combination
        // that is no accelerator types nothing: both cancelled.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return key->key() != Qt::Key_Control && key->key() != Qt::Key_Alt && key->key() != Qt::Key_Meta;
        const int ascii = KeyAscii::of(key);
        return ascii != 0 && m_handlers.keyPressed(ascii, key->text());
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection())
            return false;
        paste(QGuiApplication::clipboard()->text(QClipboard::Selection));
        return true;
    }
    case QEvent::ContextMenu: {
        std::unique_ptr<QMenu> menu(m_box->createStandardContextMenu());
        for (QAction* action : menu->actions()) {
            if (action->text().section(QLatin1Char('\t'), 0, 0) != QLineEdit::tr("&Paste"))
                continue;
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { paste(QGuiApplication::clipboard()->text()); });
        }
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    default: return false;
    }
}

// Control characters in pasted text are dropped, as typed ones are.
void SearchBoxInput::paste(const QString& text)
{
    QString typed;
    for (const QChar c : text) {
        if (c.isPrint())
            typed += c;
    }
    if (typed.isEmpty())
        return;
    m_box->insert(typed);
    m_handlers.pasted(typed);
}
