#pragma once

#include "controls/control_geometry.h"
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

class Form1;
class FrontPanel;
struct Button;
class ComboBox;
struct Label;

// The panel's one window. It draws the window model (Form1) and turns
// what the user does into the panel's handler calls; it holds no behaviour
// of its own. Every control is a child named after its model control
// ("Label_ReadOut", "Menu_Exit", ...).
class MainWindow : public QMainWindow
{
    Q_OBJECT

  public:
    explicit MainWindow(FrontPanel& panel, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Makes every widget show its model. Cheap when nothing changed.
    void syncFromModel();

    // Runs a handler for a user's action, then mirrors the model.
    void forward(const std::function<void()>& handler);
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
        ComboBox* model;
        QComboBox* widget;
        QStringList fontItems;
        QSize fontBox;
        QFont font;
    };

    void buildControls();
    QLabel* addLabel(const Label& model, const char* name);
    QPushButton* addButton(const Button& model, const char* name, void (FrontPanel::*handler)());
    QComboBox* addComboBox(ComboBox& model, const char* name);
    void setTabOrder();
    void syncWindow();
    const QFont& labelFont(LabelView& view);
    const QFont& listFont(ComboView& view);
    void centreOnScreen();
    void runFormActivate();
    bool forwardKeyPress(QKeyEvent& event);

    FrontPanel& panel_;
    Form1& form_;
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
