#pragma once

#include "qt/main_window.h"
#include "tests/support/panel_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <memory>

namespace lumodm::testing {

// Closing the window ends the program, here by an exception, which must not
// travel through Qt's event dispatch: the test delivers the close itself.
struct TestWindow : MainWindow
{
    using MainWindow::closeEvent;
    using MainWindow::MainWindow;
};

// A started panel on the simulated bus and its window, built as the
// program builds it, not yet shown.
struct WindowFixture
{
    explicit WindowFixture(const QString& simSpec = QStringLiteral("DM5010@16"))
        : panel(std::make_unique<PanelFixture>(simSpec)), link(panel->panel)
    {
        panel->start();
        window = std::make_unique<TestWindow>(link);
    }

    template <typename T> T* child(const char* name) const
    {
        return window->findChild<T*>(QLatin1String(name));
    }
    QLabel* label(const char* name) const { return child<QLabel>(name); }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    QComboBox* combo(const char* name) const { return child<QComboBox>(name); }
    QAction* action(const char* name) const { return child<QAction>(name); }
    QRect rect(const char* name) const { return child<QWidget>(name)->geometry(); }
    // Shown, and up: its activation has been handed to the panel.
    void showUp() const
    {
        window->show();
        for (int pass = 0; pass < 10 && !window->formActivated(); ++pass) {
            QCoreApplication::processEvents();
        }
    }
    Form1& form() const { return panel->form; }

    std::unique_ptr<PanelFixture> panel;
    DirectPanelLink link; // the panel on the test's own thread
    std::unique_ptr<TestWindow> window;
};

} // namespace lumodm::testing
