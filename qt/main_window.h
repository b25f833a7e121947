#pragma once

#include "controls/control_geometry.h"
#include "controls/form1.h"
#include "panel/panel_link.h"
#include "qt/menu_tree.h"
#include "qt/twips.h"

#include <QFont>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

class QAbstractItemView;
class QComboBox;
class QLabel;
class QPushButton;

namespace lumodm {

class FrontPanel;
struct Button;
class ComboBox;
struct Label;

// The panel's one window. It draws a copy of the window model (Form1) and
// hands what the user does to the panel's handlers through its link; it
// holds no behaviour of its own and never waits for the panel. Every
// control is a child named after its model control ("Label_ReadOut",
// "Menu_Exit", ...).
class MainWindow : public QMainWindow
{
    Q_OBJECT

  public:
    explicit MainWindow(PanelLink& link, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Takes the panel's model and makes every widget show it. Cheap when
    // nothing changed.
    void syncFromModel();
    // The model as the window last showed it.
    const Form1& model() const { return form_; }
    // Said after the model's caption in the title: which meter this is,
    // when several panels are open.
    void setTitleSuffix(const QString& suffix);

    // Hands a handler a user's action to the panel; once it has run, the
    // window mirrors the model and runs `done`.
    void forward(PanelLink::Handler handler, std::function<void()> done = {});
    void forwardHandler(void (FrontPanel::*handler)());

    // Form_Activate has run (right after the window was first shown).
    bool formActivated() const { return formActivated_; }

    const TwipScale& scale() const { return scale_; }

  signals:
    // Form_Activate has returned: the panel is up.
    void formActivateDone();
    // The user pressed Ctrl+T: open or close the readings window.
    void readingsToggleRequested();
    // The widgets show the model again: a run may have started or stopped.
    void synced();

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct LabelView
    {
        const Label* model;
        QLabel* widget;
        FontSpec fontSpec;
        QSize fontBox;
        QFont font;
        QString fitText; // the design text a seven-segment face must hold
    };
    struct ButtonView
    {
        const Button* model;
        QPushButton* widget;
    };
    struct ComboView
    {
        const ComboBox* model;
        ComboBox Form1::*member; // the same list in the panel's own model
        QComboBox* widget;
        QStringList fontItems;
        QSize fontBox;
        QFont font;
    };

    void buildControls();
    QLabel* addLabel(const Label& model, const char* name);
    QPushButton* addButton(const Button& model, const char* name, void (FrontPanel::*handler)());
    QComboBox* addComboBox(ComboBox Form1::*member, const char* name);
    void setTabOrder();
    void syncWindow();
    const QFont& labelFont(LabelView& view);
    const QFont& listFont(ComboView& view);
    void centreOnScreen();
    void runFormActivate();
    bool forwardKeyPress(QKeyEvent& event);

    PanelLink& link_;
    Form1 form_;
    QString titleSuffix_;
    TwipScale scale_;
    QWidget* client_ = nullptr;
    QLabel* rangeLabel_ = nullptr;
    QComboBox* modeCombo_ = nullptr;
    QAbstractItemView* modeList_ = nullptr; // the open list of Combo_Mode
    std::vector<LabelView> labels_;
    std::vector<ButtonView> buttons_;
    std::vector<ComboView> combos_;
    std::array<QWidget*, 2> lines_{};
    std::vector<MenuBinding> menus_;
    bool syncing_ = false;
    bool activationQueued_ = false;
    bool formActivated_ = false;
};

} // namespace lumodm
