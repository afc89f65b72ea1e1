#include "journal/widgets/frmHistoryComment.h"

#include "app/DateEntry.h"
#include "app/HistoryModule.h"
#include "journal/HistoryComments.h"
#include "platform/DateText.h"
#include "platform/Messenger.h"
#include "platform/Outcome.h"
#include "platform/widgets/CommandButton.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// The comment column holds up to 255 characters.
constexpr int commentLimit = 255;

} // namespace

frmHistoryComment::frmHistoryComment(HistoryModule& module, Messenger& messenger, QWidget* parent)
    : SuiteWindow(module, messenger, QStringLiteral("frmHistoryComment"), parent)
{
    setWindowTitle(QStringLiteral("History Comment"));

    auto* label1 = new QLabel(QStringLiteral("POST DATE"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    txtDate = new QLineEdit(this);
    txtDate->setObjectName(QStringLiteral("txt0"));
    txtDate->setToolTip(QStringLiteral("Enter the Bill Date for which this comment will be displayed"));
    auto* label2 = new QLabel(QStringLiteral("COMMENT"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    txtComment = new QPlainTextEdit(this);
    txtComment->setObjectName(QStringLiteral("txt1"));
    txtComment->setToolTip(QStringLiteral("Enter the desired comment (255 characters max.)"));
    txtComment->setTabChangesFocus(true);
    txtComment->setFixedHeight(txtComment->fontMetrics().lineSpacing() * 4 + 12);

    charactersLeft = new QLabel(this);
    charactersLeft->setObjectName(QStringLiteral("lblCharactersLeft"));

    cmdSave = makeCommandButton(this, "cmdSave", QStringLiteral("&Save"),
                                QStringLiteral("Save this new or edited history journal comment record"));
    cmdCancel = makeCommandButton(
        this, "cmdCancel", QStringLiteral("&Cancel"), QStringLiteral("Return to the history journal grid"));
    cmdDelete = makeCommandButton(this, "cmdDelete", QStringLiteral("Delete"),
                                  QStringLiteral("Delete selected comment record from history journal"));
    cmdDelete->setVisible(m_module.CommentDeleteMode != 0);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(txtDate, 0, 1);
    grid->addWidget(label2, 1, 0, Qt::AlignTop);
    grid->addWidget(txtComment, 1, 1);
    grid->addWidget(charactersLeft, 2, 1, Qt::AlignRight);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    buttons->addWidget(cmdDelete);
    grid->addLayout(buttons, 3, 0, 1, 2);
    resize(460, sizeHint().height());

    txtDate->installEventFilter(this);
    txtComment->installEventFilter(this);
    connect(cmdSave, &QPushButton::clicked, this, &frmHistoryComment::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdDelete, &QPushButton::clicked, this, &frmHistoryComment::cmdDelete_Click);
    connect(txtComment, &QPlainTextEdit::textChanged, this, [this] {
        if (txtComment->toPlainText().size() > commentLimit) {
            QString text = txtComment->toPlainText().left(commentLimit);
            txtComment->setPlainText(text);
            txtComment->moveCursor(QTextCursor::End);
        }
        showCharactersLeft();
    });
    showCharactersLeft();
}

// The limit is seen while typing rather than met as a key that does nothing.
void frmHistoryComment::showCharactersLeft()
{
    const qsizetype left = commentLimit - txtComment->toPlainText().size();
    charactersLeft->setText(QString::number(left)
                            + (left == 1 ? QStringLiteral(" character left") : QStringLiteral(" characters left")));
}

bool frmHistoryComment::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Enter moves on to the next control, in the comment box too.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    } else if (event->type() == QEvent::FocusIn) {
        // After the click that gave the focus has placed the cursor, so typing
        // replaces the whole text however the box was entered.
        QTimer::singleShot(0, this, [this, watched] {
            if (watched == txtDate && txtDate->hasFocus())
                txtDate->selectAll();
            else if (watched == txtComment && txtComment->hasFocus())
                txtComment->selectAll();
        });
    } else if (event->type() == QEvent::FocusOut && watched == txtDate) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            dateBoxLostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

// One action, one message at most: leaving for Cancel checks nothing (nothing is
// written), leaving for Save only completes the date (Save says what is wrong),
// and a date the check rejects with its own message gets no second one.
void frmHistoryComment::dateBoxLostFocus()
{
    if (txtDate->text().isEmpty())
        return;
    const QWidget* goingTo = QApplication::focusWidget();
    if (goingTo == cmdCancel)
        return;
    DateEntry::Outcome outcome = DateEntry::CheckDateEntry(txtDate->text());
    if (goingTo == cmdSave) {
        outcome.message.reset();
        outcome.refocus = false;
    }
    const bool told = outcome.message.has_value();
    if (txtDate->text() != outcome.text)
        txtDate->setText(outcome.text);
    if (outcome.message)
        m_messenger.tell(outcome.message->text, outcome.message->title, outcome.message->icon);
    if (outcome.refocus)
        txtDate->setFocus(Qt::OtherFocusReason);
    if (!told && goingTo != cmdSave && !isValidDate())
        tryAgain(QStringLiteral("You have not entered a valid date!"));
}

bool frmHistoryComment::isValidDate() const
{
    return DateText::parse(txtDate->text()).has_value();
}

void frmHistoryComment::tryAgain(const QString& text)
{
    m_messenger.tell(text, QStringLiteral("TRY AGAIN"), Messenger::Icon::Critical);
}

void frmHistoryComment::cmdSave_Click()
{
    if (!isValidDate()) {
        tryAgain(QStringLiteral("You have not entered a valid date!"));
        return;
    }
    if (txtComment->toPlainText().trimmed().isEmpty()) {
        tryAgain(QStringLiteral("You have not entered a comment!"));
        return;
    }
    const auto result = HistoryComments::add(m_module, *DateText::parse(txtDate->text()), txtComment->toPlainText());
    finish(result.saved, result.outcome, QStringLiteral("COMMENT NOT SAVED"));
}

void frmHistoryComment::cmdDelete_Click()
{
    const auto result = HistoryComments::remove(m_module, m_module.SelectedDate, m_module.SelectedDescr);
    finish(result.saved, result.outcome, QStringLiteral("COMMENT NOT DELETED"));
}

// Stored in the billing database: the dialog closes, whatever befell the journal's
// copy. Not stored: what the operator typed stays in the dialog for a retry.
void frmHistoryComment::finish(bool stored, const Outcome& problem, const QString& notStoredTitle)
{
    if (!problem)
        m_messenger.tell(problem.message(), stored ? QStringLiteral("JOURNAL NOT UPDATED") : notStoredTitle,
                         Messenger::Icon::Critical);
    if (stored)
        accept();
}
