#include "selection/widgets/SelectionControls.h"

#include "selection/SearchOption.h"
#include "platform/widgets/CommandButton.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Wide enough for a whole line with a location ID of average length.
constexpr int lineCharacters = 112;

QToolButton* makeArrow(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    return button;
}

} // namespace

SelectionControls::SelectionControls(QDialog* window, QAbstractItemModel* model)
{
    new QVBoxLayout(window);
    createSearchFrame(window);
    createList(window, model);
    createNavigation(window);
    createBottom(window);
}

void SelectionControls::createSearchFrame(QDialog* window)
{
    auto* frame = new QGroupBox(QStringLiteral("Search by..."), window);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    opt = new QButtonGroup(window);
    for (int index = 0; index < SearchOption::Count; ++index) {
        const SearchOption* option = SearchOption::at(index);
        auto* button = new QRadioButton(QString::fromLatin1(option->caption), frame);
        button->setObjectName(QStringLiteral("opt%1").arg(index));
        button->setToolTip(QString::fromLatin1(option->toolTip));
        // A click leaves the focus where the clerk types. Tab reaches the chosen option
        // only, and the arrow keys from it choose the next, as option groups do.
        button->setFocusPolicy(Qt::NoFocus);
        opt->addButton(button, index);
        grid->addWidget(button, 0, index);
    }
    QObject::connect(opt, &QButtonGroup::idToggled, opt, [group = opt](int index, bool checked) {
        group->button(index)->setFocusPolicy(checked ? Qt::TabFocus : Qt::NoFocus);
    });

    auto* Label1 = new QLabel(QStringLiteral("Search for:"), frame);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(frame);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Text1->setToolTip(QStringLiteral("Enter text for which you wish to search within the column selected above"));
    cmdFindFirst = makeCommandButton(frame, "cmdFindFirst", QStringLiteral("&Find First"),
                                     QStringLiteral("Find first match in selected sort/search column"));
    cmdFindNext = makeCommandButton(frame, "cmdFindNext", QStringLiteral("Find &Next"),
                                    QStringLiteral("Find next subsequent match in selected sort/search column"));
    cmdFindPrev = makeCommandButton(frame, "cmdFindPrev", QStringLiteral("Find &Previous"),
                                    QStringLiteral("Find previous match in selected sort/search column"));
    auto* row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(Text1, 1);
    row->addWidget(cmdFindFirst);
    row->addWidget(cmdFindNext);
    row->addWidget(cmdFindPrev);
    grid->addLayout(row, 1, 0, 1, SearchOption::Count);
    window->layout()->addWidget(frame);
}

void SelectionControls::createList(QDialog* window, QAbstractItemModel* model)
{
    DBList1 = new QListView(window);
    DBList1->setObjectName(QStringLiteral("DBList1"));
    DBList1->setToolTip(QStringLiteral("If you currently see the desired customer in this list, you can double-click "
                                       "it to go straight to the history journal display"));
    DBList1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Every line is alike: the view sizes one and never measures the rest.
    DBList1->setUniformItemSizes(true);
    DBList1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBList1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBList1->setModel(model);
    const int width = DBList1->fontMetrics().horizontalAdvance(QString(lineCharacters, QLatin1Char('M')));
    DBList1->setMinimumSize(width + DBList1->frameWidth() * 2 + 24, 320);
    static_cast<QVBoxLayout*>(window->layout())->addWidget(DBList1, 1);
}

void SelectionControls::createNavigation(QDialog* window)
{
    auto* Data1 = new QWidget(window);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setToolTip(
        QStringLiteral("Manually scroll this list (first record, up one record, down one record, last record)"));
    auto* row = new QHBoxLayout(Data1);
    row->setContentsMargins(0, 0, 0, 0);
    Data1First = makeArrow(Data1, "Data1First", QStringLiteral("|<"));
    Data1Previous = makeArrow(Data1, "Data1Previous", QStringLiteral("<"));
    Data1Next = makeArrow(Data1, "Data1Next", QStringLiteral(">"));
    Data1Last = makeArrow(Data1, "Data1Last", QStringLiteral(">|"));
    row->addWidget(Data1First);
    row->addWidget(Data1Previous);
    row->addWidget(new QLabel(QStringLiteral("Manual Search"), Data1), 1, Qt::AlignCenter);
    row->addWidget(Data1Next);
    row->addWidget(Data1Last);
    Data1->setFixedWidth(360);
    window->layout()->addWidget(Data1);
}

void SelectionControls::createBottom(QDialog* window)
{
    Label2 = new QLabel(window);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setTextFormat(Qt::PlainText);
    Label2->setAutoFillBackground(true);
    Label2->setMinimumHeight(Label2->fontMetrics().height() + 8);
    window->layout()->addWidget(Label2);

    cmdNext = makeCommandButton(window, "cmdNext", QStringLiteral("&View Journal"),
                                QStringLiteral("View history journal for selected customer account/location ID"));
    cmdExit = makeCommandButton(
        window, "cmdExit", QStringLiteral("&Exit"), QStringLiteral("Exit this history journal module"));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(cmdNext);
    row->addWidget(cmdExit);
    static_cast<QVBoxLayout*>(window->layout())->addLayout(row);
}

void SelectionControls::showBalance(const QString& caption, bool inactive)
{
    QPalette palette = Label2->palette();
    palette.setColor(QPalette::Window, inactive ? QColor(255, 0, 0) : QApplication::palette().color(QPalette::Button));
    palette.setColor(QPalette::WindowText, inactive ? QColor(255, 255, 255) : QColor(0, 0, 0));
    Label2->setPalette(palette);
    Label2->setText(caption);
}

void SelectionControls::highlight(int row)
{
    if (row < 0) {
        DBList1->selectionModel()->clear();
        return;
    }
    const QModelIndex index = DBList1->model()->index(row, 0);
    DBList1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    DBList1->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

int SelectionControls::highlightedRow() const
{
    const QModelIndexList selected = DBList1->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}
