#pragma once

#include "viewmodels/WorkbenchFixture.h"
#include "views/main/MainWindow.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <memory>

// The main window over the scripted models of WorkbenchFixture, shown offscreen.
class MainWindowFixture : public WorkbenchFixture {
protected:
    void TearDown() override {
        m_window.reset();
        WorkbenchFixture::TearDown();
    }

    MainWindow& window() {
        if (!m_window) {
            m_window = std::make_unique<MainWindow>(models(), workbench, settingsStore, passwordBook);
            m_window->show();
        }
        return *m_window;
    }

    template <typename Page>
    Page& page(WorkbenchSection section) {
        QWidget* framed = window().page(section);
        auto* found = qobject_cast<Page*>(framed);
        if (!found) found = framed->findChild<Page*>();
        return *found;
    }

    // Clicks the button of the open message box that has this text.
    static void clickAlertButton(QMessageBox* box, const QString& text) {
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == text) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << text.toStdString();
    }

private:
    std::unique_ptr<MainWindow> m_window;
};
