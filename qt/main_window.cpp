#include "qt/main_window.h"

#include "controls/form1.h"
#include "panel/front_panel.h"
#include "meter/readout_copy.h"
#include "qt/control_mirror.h"
#include "qt/panel_colors.h"
#include "qt/panel_fonts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>
#include <cstdint>
#include <optional>

namespace lumodm {

namespace {

bool sameSpec(const FontSpec& a, const FontSpec& b)
{
    return a.family == b.family && a.pointSize == b.pointSize && a.weight == b.weight &&
           a.italic == b.italic;
}

// The character code a key press hands to a KeyPress handler, if it types
// a character at all.
std::optional<std::int16_t> keyAsciiOf(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return std::int16_t{13};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return std::nullopt; // moves the focus, types nothing
    default:
        break;
    }
    const QString text = event.text();
    if (text.size() != 1) {
        return std::nullopt;
    }
    const char16_t code = text.at(0).unicode();
    // Beyond Latin-1 a character has no 8-bit code: it arrives as "?".
    return static_cast<std::int16_t>(code <= 0xFF ? code : u'?');
}

// Where a list of `size` draws the text of its entry: the style's text
// field less the margins the field's text keeps (the line edit's two pixels
// a side; a pick list's label one).
QSize entryTextBox(const QComboBox& combo, const QSize& size)
{
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.rect = QRect(QPoint(0, 0), size);
    option.editable = combo.isEditable();
    option.frame = combo.hasFrame();
    const QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, &combo);
    return {field.width() - 4, field.height()};
}

bool isEnter(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}

// A list whose typed text is never a pick. When editing of the text field
// ends (Enter, or the focus leaving), Qt reports a text that names an entry
// as `activated`, as if it had been picked; this list says when that is so.
class PickListComboBox : public QComboBox
{
  public:
    using QComboBox::QComboBox;
    bool endingEdit() const { return endingEdit_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const QScopedValueRollback<bool> ending(endingEdit_, endingEdit_ || isEnter(*event));
        QComboBox::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        const QScopedValueRollback<bool> ending(endingEdit_, true);
        QComboBox::focusOutEvent(event);
    }

  private:
    bool endingEdit_ = false;
};

} // namespace

MainWindow::MainWindow(PanelLink& link, QWidget* parent) : QMainWindow(parent), link_(link)
{
    link_.copyModel(form_);
    setObjectName(QStringLiteral("Form1"));
    const QScreen* screen = this->screen();
    if (screen != nullptr) {
        scale_ = TwipScale(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
    }
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->setAutoFillBackground(true);
    setCentralWidget(client_);

    menus_ = buildMenuTree(*menuBar(), form_,
                           [this](void (FrontPanel::*handler)()) { forwardHandler(handler); });
    buildControls();
    setTabOrder();
    // A shortcut, not a menu entry: the panel's menus stay as they are.
    auto* readings = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
    readings->setObjectName(QStringLiteral("Shortcut_Readings"));
    connect(readings, &QShortcut::activated, this, &MainWindow::readingsToggleRequested);
    // Copy takes the reading as shown; a text field with the focus keeps
    // Ctrl+C for its own selection.
    auto* copy = new QShortcut(QKeySequence::Copy, this);
    copy->setObjectName(QStringLiteral("Shortcut_Copy"));
    connect(copy, &QShortcut::activated, this, [this] {
        const QString text =
            readoutCopyText(form_.Label_ReadOut.caption, form_.Label_Prefix.caption);
        if (!text.isEmpty()) {
            QGuiApplication::clipboard()->setText(text);
        }
    });

    // The window keeps the size of its client area and menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    syncFromModel();
    centreOnScreen();
    findChild<QPushButton*>(QStringLiteral("Button_Refresh"))->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    // Created bottom first: the background panel under every label, the
    // labels and the etched rule under the buttons and lists.
    addLabel(form_.Label_ROBackground, "Label_ROBackground");
    addLabel(form_.Label_ReadOut, "Label_ReadOut");
    addLabel(form_.Label_Func, "Label_Func");
    addLabel(form_.Label_RefreshRate, "Label_RefreshRate");
    addLabel(form_.Label_Prefix, "Label_Prefix");
    addLabel(form_.Label_RunStop, "Label_RunStop");
    rangeLabel_ = addLabel(form_.Label_Range, "Label_Range");
    rangeLabel_->installEventFilter(this);
    // Nothing on the panel says that the caption opens the range list.
    rangeLabel_->setToolTip(QStringLiteral("Double-click for the ranges"));

    for (std::size_t i = 0; i < lines_.size(); ++i) {
        lines_[i] = new QWidget(client_);
        lines_[i]->setObjectName(QStringLiteral("Line1_%1").arg(i));
        lines_[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    modeCombo_ = addComboBox(&Form1::Combo_Mode, "Combo_Mode");
    modeCombo_->installEventFilter(this);
    // Installed after the open list's own filter, so it sees Enter first.
    modeList_ = modeCombo_->view();
    modeList_->installEventFilter(this);
    addButton(form_.Button_Apply, "Button_Apply", &FrontPanel::Button_Apply_Click);
    addButton(form_.Button_Refresh, "Button_Refresh", &FrontPanel::Button_Refresh_Click);
    addButton(form_.Button_Run, "Button_Run", &FrontPanel::Button_Run_Click);
    addButton(form_.Button_Stop, "Button_Stop", &FrontPanel::Button_Stop_Click);
    addComboBox(&Form1::Combo_Range, "Combo_Range");
}

QLabel* MainWindow::addLabel(const Label& model, const char* name)
{
    auto* label = new QLabel(client_);
    label->setObjectName(QLatin1String(name));
    label->setFocusPolicy(Qt::NoFocus);
    label->setTextFormat(Qt::PlainText); // instrument answers are never markup
    label->setAutoFillBackground(true);
    labels_.push_back({&model, label, FontSpec{}, QSize(-1, -1), QFont(), model.caption});
    return label;
}

QPushButton* MainWindow::addButton(const Button& model, const char* name,
                                   void (FrontPanel::*handler)())
{
    auto* button = new QPushButton(client_);
    button->setObjectName(QLatin1String(name));
    // Enter presses the focused button, as on the desktop the panel knows.
    button->setAutoDefault(true);
    connect(button, &QPushButton::clicked, this, [this, handler]() { forwardHandler(handler); });
    buttons_.push_back({&model, button});
    return button;
}

QComboBox* MainWindow::addComboBox(ComboBox Form1::*member, const char* name)
{
    const ComboBox& model = form_.*member;
    auto* combo = new PickListComboBox(client_);
    combo->setObjectName(QLatin1String(name));
    combo->setEditable(model.editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // A user's pick, also of the entry already selected, arrives here only;
    // the program's own selections never emit it. A typed text selects
    // nothing: the list goes back to what the model holds.
    connect(combo, &QComboBox::activated, this, [this, member, combo](int index) {
        if (combo->endingEdit()) {
            syncFromModel();
            return;
        }
        forward([member, index](FrontPanel& panel) { (panel.form().*member).userSelect(index); });
    });
    combos_.push_back({&model, member, combo, {}, QSize(-1, -1), QFont()});
    return combo;
}

void MainWindow::setTabOrder()
{
    std::vector<std::pair<int, QWidget*>> order;
    for (const ButtonView& view : buttons_) {
        order.emplace_back(view.model->tabIndex, view.widget);
    }
    for (const ComboView& view : combos_) {
        order.emplace_back(view.model->tabIndex, view.widget);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1].second, order[i].second);
    }
}

void MainWindow::syncFromModel()
{
    if (syncing_) {
        return;
    }
    syncing_ = true;
    link_.copyModel(form_);
    syncWindow();
    for (LabelView& view : labels_) {
        mirrorLabel(*view.model, *view.widget, scale_, labelFont(view));
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        mirrorLine(form_.Line1[i], *lines_[i], scale_);
    }
    for (const ButtonView& view : buttons_) {
        mirrorButton(*view.model, *view.widget, scale_);
    }
    for (ComboView& view : combos_) {
        mirrorComboBox(*view.model, *view.widget, scale_, listFont(view));
    }
    for (const MenuBinding& binding : menus_) {
        mirrorMenuItem(*binding.item, *binding.action);
    }
    syncing_ = false;
    emit synced();
}

void MainWindow::syncWindow()
{
    const QString title = form_.caption + titleSuffix_;
    if (windowTitle() != title) {
        setWindowTitle(title);
    }
    const QSize client(scale_.x(form_.clientWidth()), scale_.y(form_.clientHeight));
    if (client_->minimumSize() != client || client_->maximumSize() != client) {
        client_->setFixedSize(client);
    }
    const QPalette application = QApplication::palette(client_);
    setPaletteColor(*client_, QPalette::Window,
                    resolveColor(Color::buttonFace(), application, QColor()));
}

const QFont& MainWindow::labelFont(LabelView& view)
{
    const QSize box = scale_.rect(view.model->geometry).size();
    if (sameSpec(view.fontSpec, view.model->font) && view.fontBox == box) {
        return view.font;
    }
    view.fontSpec = view.model->font;
    view.fontBox = box;
    view.font = toQFont(view.model->font, QApplication::font(view.widget));
    // A real Segment7 is what the layout was drawn for; only the stand-in
    // needs fitting.
    if (isSevenSegment(view.model->font) && drawnWithBundledFace(view.font)) {
        view.font = fitToBox(view.font, box, view.fitText, view.widget);
    }
    return view.font;
}

const QFont& MainWindow::listFont(ComboView& view)
{
    // A hidden list is fitted when it is first shown: each size tried
    // loads a font.
    if (!view.model->visible) {
        return view.font;
    }
    const QSize size = scale_.rect(view.model->geometry).size();
    if (view.fontItems == view.model->items() && view.fontBox == size) {
        return view.font;
    }
    view.fontItems = view.model->items();
    view.fontBox = size;
    // The desktop's font, made small enough that no entry is cut off.
    view.font = fitWidestToBox(QApplication::font(view.widget), entryTextBox(*view.widget, size),
                               view.fontItems, view.widget);
    return view.font;
}

void MainWindow::centreOnScreen()
{
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    layout()->activate();
    const QRect available = screen->availableGeometry();
    move(available.center() - QPoint(width() / 2, height() / 2));
}

void MainWindow::setTitleSuffix(const QString& suffix)
{
    titleSuffix_ = suffix;
    syncWindow();
}

void MainWindow::forward(PanelLink::Handler handler, std::function<void()> done)
{
    // The window may be gone by the time a panel on its own thread is done.
    QPointer<MainWindow> window(this);
    link_.run(std::move(handler), [window, done = std::move(done)] {
        if (!window) {
            return;
        }
        window->syncFromModel();
        if (done) {
            done();
        }
    });
}

void MainWindow::forwardHandler(void (FrontPanel::*handler)())
{
    forward([handler](FrontPanel& panel) { (panel.*handler)(); });
}

bool MainWindow::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Show:
        // Right after the first showing, whether or not the window manager
        // gives the window the focus. Out of the showing's own dispatch:
        // Form_Activate talks to the meter and processes events while it
        // waits.
        if (!activationQueued_) {
            activationQueued_ = true;
            QMetaObject::invokeMethod(this, &MainWindow::runFormActivate, Qt::QueuedConnection);
        }
        break;
    case QEvent::ApplicationPaletteChange:
        // The button colours follow the desktop theme.
        syncFromModel();
        break;
    default:
        break;
    }
    return handled;
}

void MainWindow::runFormActivate()
{
    forward([](FrontPanel& panel) { panel.Form_Activate(); },
            [this] {
                formActivated_ = true;
                emit formActivateDone();
            });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The unload decides: it ends the program, it never just closes.
    event->ignore();
    forward([](FrontPanel& panel) { panel.Form_Unload(); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == rangeLabel_ && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent&>(*event).button() == Qt::LeftButton) {
        forwardHandler(&FrontPanel::Label_Range_DblClick);
        return true;
    }
    if (watched == modeCombo_ && event->type() == QEvent::KeyPress) {
        return forwardKeyPress(static_cast<QKeyEvent&>(*event));
    }
    if (watched == modeList_ && event->type() == QEvent::KeyPress &&
        isEnter(static_cast<QKeyEvent&>(*event))) {
        // Enter on the open list picks the entry, then is the key it is on
        // the closed list.
        const QModelIndex entry = modeList_->currentIndex();
        modeCombo_->hidePopup();
        if (entry.isValid()) {
            const int row = entry.row();
            forward([row](FrontPanel& panel) { panel.form().Combo_Mode.userSelect(row); });
        }
        forwardKeyPress(static_cast<QKeyEvent&>(*event));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::forwardKeyPress(QKeyEvent& event)
{
    const std::optional<std::int16_t> code = keyAsciiOf(event);
    if (!code) {
        return false;
    }
    // The list's own handling of the key goes on: the panel's handler,
    // perhaps on another thread, reads the code and never clears it.
    forward([keyAscii = *code](FrontPanel& panel) mutable { panel.Combo_Mode_KeyPress(keyAscii); });
    return false;
}

} // namespace lumodm
