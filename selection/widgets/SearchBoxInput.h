#pragma once

#include <QObject>
#include <functional>

class QLineEdit;

// The search box's input as the search takes it: character keys and pasted text
// only, a paste searching as if typed however it is pasted (keys, middle button,
// context menu), Copy and Select All as usual; each return of the focus a new visit.
class SearchBoxInput : public QObject {
    Q_OBJECT
public:
    struct Handlers {
        std::function<void()> entered;
        // True when the key is taken and the box must not see it.
        std::function<bool(int keyAscii, const QString& text)> keyPressed;
        // After the printable part of the pasted text has gone into the box.
        std::function<void(const QString& typed)> pasted;
    };

    SearchBoxInput(QLineEdit* box, Handlers handlers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handle(QEvent* event);
    void paste(const QString& text);

    QLineEdit* m_box;
    Handlers m_handlers;
};
