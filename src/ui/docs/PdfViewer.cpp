#include "ui/docs/PdfViewer.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPdfBookmarkModel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QToolBar>
#include <QTreeView>

#include "base/Messages.h"
#include "ui/docs/DocLauncher.h"
#include "ui/frame/WindowPlacement.h"

namespace {

QString ErrorReason(QPdfDocument::Error error) {
    switch (error) {
    case QPdfDocument::Error::None:
        return {};
    case QPdfDocument::Error::FileNotFound:
        return QObject::tr("The file could not be read.");
    case QPdfDocument::Error::InvalidFileFormat:
        return QObject::tr("The file is not a readable PDF document.");
    case QPdfDocument::Error::IncorrectPassword:
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return QObject::tr("The document is protected and cannot be shown.");
    default:
        return QObject::tr("The viewer could not read the document.");
    }
}

QString CanonicalPath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// How closely an outline title must match a destination name, strictest first.
enum class EMatch { Exact, AnyCase, WithoutBlanks };

QString WithoutBlanks(QString text) {
    text.remove(u' ');
    return text;
}

bool TitleNames(const QString& title, const QString& name, EMatch match) {
    if (match == EMatch::WithoutBlanks)
        return WithoutBlanks(title).compare(name, Qt::CaseInsensitive) == 0;
    const Qt::CaseSensitivity cs = match == EMatch::Exact ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (!title.startsWith(name, cs))
        return false;
    if (title.size() == name.size())
        return true;
    const QChar next = title.at(name.size());
    return next == u' ' || next == u':' || next == u'-';
}

QModelIndex FindEntry(const QPdfBookmarkModel& outline, const QModelIndex& parent,
                      const QString& name, EMatch match) {
    for (int row = 0; row < outline.rowCount(parent); ++row) {
        const QModelIndex entry = outline.index(row, 0, parent);
        const QString title = entry.data(int(QPdfBookmarkModel::Role::Title)).toString();
        if (TitleNames(title.trimmed(), name, match))
            return entry;
        const QModelIndex found = FindEntry(outline, entry, name, match);
        if (found.isValid())
            return found;
    }
    return {};
}

QModelIndex FindOutlineEntry(const QPdfBookmarkModel& outline, const QString& name) {
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return {};
    for (EMatch match : {EMatch::Exact, EMatch::AnyCase, EMatch::WithoutBlanks}) {
        const QModelIndex entry = FindEntry(outline, {}, wanted, match);
        if (entry.isValid())
            return entry;
    }
    return {};
}

int PageOf(const QModelIndex& entry) {
    return entry.data(int(QPdfBookmarkModel::Role::Page)).toInt();
}

// The last entry, in reading order, that starts on or before the page: the chapter it is in.
void FindChapter(const QPdfBookmarkModel& outline, const QModelIndex& parent, int page,
                 QModelIndex& best) {
    for (int row = 0; row < outline.rowCount(parent); ++row) {
        const QModelIndex entry = outline.index(row, 0, parent);
        if (PageOf(entry) > page)
            return;
        best = entry;
        FindChapter(outline, entry, page, best);
    }
}

// Room left above a heading the viewer jumps to, in points, so the heading is not cut.
constexpr qreal kHeadingMargin = 12;

} // namespace

namespace hwc::ui {

int FindOutlinePage(const QPdfBookmarkModel& outline, const QString& name) {
    const QModelIndex entry = FindOutlineEntry(outline, name);
    return entry.isValid() ? PageOf(entry) : -1;
}

} // namespace hwc::ui

CPdfViewer::CPdfViewer(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_document = new QPdfDocument(this);
    m_outline = new QPdfBookmarkModel(this);
    m_outline->setDocument(m_document);

    m_view = new QPdfView;
    m_view->setDocument(m_document);
    m_view->setPageMode(QPdfView::PageMode::MultiPage);
    m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth);

    m_outlineView = new QTreeView;
    m_outlineView->setModel(m_outline);
    m_outlineView->setHeaderHidden(true);
    // A single click on an entry goes there, as do Enter and a double click.
    auto goToEntry = [this](const QModelIndex& index) {
        JumpTo(PageOf(index), index.data(int(QPdfBookmarkModel::Role::Location)).toPointF());
    };
    connect(m_outlineView, &QTreeView::clicked, this, goToEntry);
    connect(m_outlineView, &QTreeView::activated, this, goToEntry);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_outlineView);
    splitter->addWidget(m_view);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);

    BuildActions();
    connect(m_view->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this, [this] {
        UpdatePageBox();
        HighlightOutline();
    });
    // Esc and Ctrl+W close the viewer, as they close a document window elsewhere.
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
    // Never larger than the screen it opens on.
    const QScreen* screen = QGuiApplication::primaryScreen();
    setGeometry(hwc::ui::ClampToArea(QRect(geometry().topLeft(), QSize(900, 700)),
                                     screen ? screen->availableGeometry() : QRect()));
}

CPdfViewer::~CPdfViewer() {
    // The view goes with the window's children, after this object: its page changes must not
    // reach a viewer that is half gone.
    m_view->pageNavigator()->disconnect(this);
}

void CPdfViewer::BuildActions() {
    QToolBar* bar = addToolBar(tr("Navigation"));
    bar->setObjectName(QStringLiteral("PdfNavigation"));
    QAction* previous =
        bar->addAction(tr("Previous Page"), this, [this] { GoToPage(CurrentPage() - 1); });
    previous->setShortcut(QKeySequence::MoveToPreviousPage);
    m_pageBox = new QSpinBox;
    m_pageBox->setPrefix(tr("Page "));
    m_pageBox->setKeyboardTracking(false);
    bar->addWidget(m_pageBox);
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int page) { GoToPage(page - 1); });
    QAction* next = bar->addAction(tr("Next Page"), this, [this] { GoToPage(CurrentPage() + 1); });
    next->setShortcut(QKeySequence::MoveToNextPage);
    bar->addSeparator();
    bar->addAction(tr("Zoom In"), this,
                   [this] {
                       m_view->setZoomMode(QPdfView::ZoomMode::Custom);
                       m_view->setZoomFactor(m_view->zoomFactor() * 1.25);
                   })
        ->setShortcut(QKeySequence::ZoomIn);
    bar->addAction(tr("Zoom Out"), this,
                   [this] {
                       m_view->setZoomMode(QPdfView::ZoomMode::Custom);
                       m_view->setZoomFactor(m_view->zoomFactor() / 1.25);
                   })
        ->setShortcut(QKeySequence::ZoomOut);
    bar->addAction(tr("Fit Width"), this,
                   [this] { m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth); });
    bar->addSeparator();
    bar->addAction(tr("Open with Default Program"), this, [this] { OpenWithDefaultProgram(); });
}

bool CPdfViewer::OpenWithDefaultProgram() {
    if (hwc::ui::OpenWithDefaultProgram(m_path))
        return true;
    hwc::ShowMessage(("Could not open " + m_path +
                      " with the desktop's default program. Is a PDF reader installed and "
                      "chosen for PDF files?")
                         .toStdString());
    return false;
}

bool CPdfViewer::Load(const QString& path, QString* reason) {
    const QPdfDocument::Error error = m_document->load(path);
    if (error != QPdfDocument::Error::None || m_document->pageCount() < 1) {
        if (reason)
            *reason = error == QPdfDocument::Error::None ? ErrorReason(QPdfDocument::Error::Unknown)
                                                         : ErrorReason(error);
        return false;
    }
    m_path = CanonicalPath(path);
    setWindowTitle(QFileInfo(path).fileName());
    m_outlineView->setVisible(m_outline->rowCount() > 0);
    m_outlineView->expandToDepth(0);
    {
        const QSignalBlocker block(m_pageBox);
        m_pageBox->setRange(1, m_document->pageCount());
        m_pageBox->setSuffix(tr(" of %1").arg(m_document->pageCount()));
    }
    GoToPage(0);
    return true;
}

int CPdfViewer::PageCount() const {
    return m_document->pageCount();
}

void CPdfViewer::GoToPage(int pageIndex) {
    if (PageCount() < 1)
        return;
    JumpTo(pageIndex, QPointF());
}

void CPdfViewer::JumpTo(int pageIndex, const QPointF& location) {
    if (PageCount() < 1)
        return;
    pageIndex = qBound(0, pageIndex, PageCount() - 1);
    // A heading goes to the top of the view with a little room above it.
    const QPointF top(0, qMax<qreal>(0, location.y() - kHeadingMargin));
    QPdfPageNavigator* navigator = m_view->pageNavigator();
    navigator->jump(pageIndex, top, navigator->currentZoom());
    UpdatePageBox();
    HighlightOutline();
}

bool CPdfViewer::GoToDestination(const QString& name) {
    const QModelIndex entry = FindOutlineEntry(*m_outline, name);
    if (!entry.isValid())
        return false;
    JumpTo(PageOf(entry), entry.data(int(QPdfBookmarkModel::Role::Location)).toPointF());
    m_outlineView->setCurrentIndex(entry);
    return true;
}

QModelIndex CPdfViewer::CurrentOutlineEntry() const {
    QModelIndex chapter;
    FindChapter(*m_outline, {}, CurrentPage(), chapter);
    return chapter;
}

void CPdfViewer::HighlightOutline() {
    const QModelIndex chapter = CurrentOutlineEntry();
    // An entry the user picked on the same page stays; otherwise the chapter is marked.
    const QModelIndex current = m_outlineView->currentIndex();
    if (current.isValid() && PageOf(current) == CurrentPage())
        return;
    if (!chapter.isValid()) {
        m_outlineView->clearSelection();
        return;
    }
    m_outlineView->setCurrentIndex(chapter);
    m_outlineView->scrollTo(chapter);
}

int CPdfViewer::CurrentPage() const {
    return m_view->pageNavigator()->currentPage();
}

void CPdfViewer::UpdatePageBox() {
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setValue(CurrentPage() + 1);
}

CPdfViewer* CPdfViewer::FindOpen(const QString& path) {
    const QString wanted = CanonicalPath(path);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* viewer = qobject_cast<CPdfViewer*>(window);
        if (viewer && viewer->m_path == wanted)
            return viewer;
    }
    return nullptr;
}
