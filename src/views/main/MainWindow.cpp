#include "views/main/MainWindow.h"

#include "core/state/ArchivePasswordBookStore.h"
#include "viewmodels/SettingsViewModel.h"
#include "viewmodels/WorkbenchModels.h"
#include "views/kit/Icons.h"
#include "views/kit/Labels.h"
#include "views/kit/ScrollPage.h"
#include "views/kit/Theme.h"
#include "views/kit/WindowFit.h"
#include "views/kit/WindowKeys.h"
#include "views/main/AboutPage.h"
#include "views/main/CompressPage.h"
#include "views/main/ContentViewState.h"
#include "views/main/ExtractPage.h"
#include "views/main/HistoryPage.h"
#include "views/main/HomePage.h"
#include "views/main/PasswordBookPage.h"
#include "views/main/Sidebar.h"
#include "views/main/SplitCompressPage.h"
#include "views/main/SplitExtractPage.h"
#include "views/main/TasksPage.h"
#include "views/main/TopBar.h"
#include "views/settings/SettingsView.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

MainWindow::MainWindow(WorkbenchModels& models, WorkbenchStore& workbenchStore, SettingsStore& settingsStore,
                       ArchivePasswordBookStore& passwordBookStore, QWidget* parent)
    : QMainWindow(parent),
      m_models(models),
      m_workbenchStore(workbenchStore),
      m_settingsStore(settingsStore),
      m_passwordBookStore(passwordBookStore),
      m_viewState(new ContentViewState(this)),
      m_sidebar(new Sidebar(models.context(), *m_viewState)),
      m_topBar(new TopBar(models.context(), models.notifications(), *m_viewState)),
      m_stack(new QStackedWidget) {
    // The window is the application's face: its look is the whole application's, dialogs included.
    Theme::apply(*qApp);
    setWindowTitle(QStringLiteral("velmora"));
    setWindowIcon(Icons::applicationIcon());
    setFixedSize(kSize);
    // A fixed-size window has nothing to maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);
    WindowKeys::install(this, [this] { showSettingsPage(); });

    auto* root = new QWidget(this);
    auto* row = new QHBoxLayout(root);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_sidebar);
    row->addWidget(Labels::divider(Qt::Vertical, root));
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_topBar);
    column->addWidget(m_stack, 1);
    row->addLayout(column, 1);
    setCentralWidget(root);

    buildPages();

    connect(&m_models.context(), &WorkbenchContext::selectedSectionChanged, this,
            &MainWindow::showSelectedPage);
    connect(&m_models.context(), &WorkbenchContext::alertMessageChanged, this, &MainWindow::syncAlert);
    connect(&m_models.compress(), &CompressViewModel::encryptedSevenZipConfirmationMessageChanged, this,
            &MainWindow::syncEncryptedSevenZipAlert);
    showSelectedPage();
    syncAlert();
    syncEncryptedSevenZipAlert();
}

void MainWindow::fitTo(const QRect& available) {
    const QSize size = WindowFit::size(kSize, available);
    if (size == kSize) return;
    // Smaller than its own size: the window takes the screen's free area and the pages scroll.
    const bool shown = isVisible();
    // A change of flags hides the window.
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setMinimumSize(size.boundedTo(QSize(480, 360)));
    setMaximumSize(kSize);
    setGeometry(QRect(available.topLeft() + QPoint(0, WindowFit::kTitleBar), size));
    if (shown) show();
}

void MainWindow::buildPages() {
    // One line per page; a new page is also registered in the screenshot program
    // (src/tools/screenshots/main.cpp, kShots). Scrolled pages leave a 34 px margin at the sides and
    // the bottom and none at the top. The pages whose tables fill the window scroll too, so on a small
    // screen every control stays in reach; the settings page scrolls its sections itself.
    addPage(WorkbenchSection::home, new HomePage(m_models.home(), m_models.tasks()), PageFrame::scroll);
    addPage(WorkbenchSection::compress, new CompressPage(m_models.compress(), m_models.tasks()),
            PageFrame::scroll);
    addPage(WorkbenchSection::extract, new ExtractPage(m_models.extract(), m_models.tasks()),
            PageFrame::scroll);
    addPage(WorkbenchSection::splitCompress,
            new SplitCompressPage(m_models.splitCompress(), m_models.tasks()), PageFrame::scroll);
    addPage(WorkbenchSection::splitExtract, new SplitExtractPage(m_models.splitExtract(), m_models.tasks()),
            PageFrame::scroll);
    addPage(WorkbenchSection::passwordBook, new PasswordBookPage(m_models.passwordBook(), m_models.tasks()),
            PageFrame::scroll);
    addPage(WorkbenchSection::tasks, new TasksPage(m_models.tasks()), PageFrame::scroll);
    addPage(WorkbenchSection::history, new HistoryPage(m_models.history()), PageFrame::scroll);
    addPage(WorkbenchSection::settings,
            new SettingsView(
                new SettingsViewModel(m_settingsStore, m_passwordBookStore, m_models.context().platform())),
            PageFrame::plain);
    addPage(WorkbenchSection::about, new AboutPage(m_workbenchStore), PageFrame::scroll);
}

void MainWindow::addPage(WorkbenchSection section, QWidget* page, PageFrame frame) {
    QWidget* framed = frame == PageFrame::scroll ? new ScrollPage(page) : page;
    m_pages[section] = framed;
    m_stack->addWidget(framed);
}

QWidget* MainWindow::currentPage() const { return m_stack->currentWidget(); }

void MainWindow::showSettingsPage() { m_models.context().setSelectedSection(WorkbenchSection::settings); }

void MainWindow::showSelectedPage() {
    m_stack->setCurrentWidget(m_pages.at(m_models.context().selectedSection()));
}

void MainWindow::syncAlert() {
    const std::optional<QString>& message = m_models.context().alertMessage();
    if (!message) {
        if (m_alert) m_alert->close();
        return;
    }
    if (m_alert) {
        m_alert->setText(*message);
        return;
    }
    m_alert =
        new QMessageBox(QMessageBox::NoIcon, QStringLiteral(u"提示"), *message, QMessageBox::NoButton, this);
    m_alert->setAttribute(Qt::WA_DeleteOnClose);
    m_alert->addButton(QStringLiteral(u"好的"), QMessageBox::RejectRole);
    // However it is dismissed, the message is cleared; the same text set again shows it again.
    connect(m_alert, &QMessageBox::finished, this, [this] {
        m_alert.clear();
        m_models.context().setAlertMessage(std::nullopt);
    });
    m_alert->open();
}

void MainWindow::syncEncryptedSevenZipAlert() {
    const std::optional<QString>& message = m_models.compress().encryptedSevenZipConfirmationMessage();
    if (!message) {
        if (m_encryptedSevenZipAlert) m_encryptedSevenZipAlert->close();
        return;
    }
    if (m_encryptedSevenZipAlert) {
        m_encryptedSevenZipAlert->setText(*message);
        return;
    }
    auto* alert = new QMessageBox(QMessageBox::NoIcon, QStringLiteral(u"兼容性提示"), *message,
                                  QMessageBox::NoButton, this);
    m_encryptedSevenZipAlert = alert;
    alert->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* proceed = alert->addButton(QStringLiteral(u"继续压缩"), QMessageBox::AcceptRole);
    alert->addButton(QStringLiteral(u"取消"), QMessageBox::RejectRole);
    connect(alert, &QMessageBox::finished, this, [this, alert, proceed] {
        const bool proceeds = alert->clickedButton() == proceed;
        m_encryptedSevenZipAlert.clear();
        CompressViewModel& compress = m_models.compress();
        if (!compress.encryptedSevenZipConfirmationMessage()) return;
        compress.setEncryptedSevenZipConfirmationMessage(std::nullopt);
        if (proceeds) {
            compress.compress(true);
        } else {
            compress.context().setStatusMessage(QStringLiteral(u"已取消加密 7Z 压缩。"), StatusKind::warning);
        }
    });
    alert->open();
}
