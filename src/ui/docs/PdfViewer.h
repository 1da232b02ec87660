#pragma once
// The built-in manual viewer: one window per PDF file with page navigation, the document's
// outline, and a command to open the file with the desktop's default program.

#include <QMainWindow>
#include <QString>

class QPdfBookmarkModel;
class QPdfDocument;
class QPdfView;
class QSpinBox;
class QModelIndex;
class QPointF;
class QTreeView;

class CPdfViewer : public QMainWindow {
    Q_OBJECT
public:
    explicit CPdfViewer(QWidget* parent = nullptr);
    ~CPdfViewer() override;

    // Loads the file; false with a reason when it is not a readable PDF.
    bool Load(const QString& path, QString* reason);
    const QString& FilePath() const { return m_path; }
    int PageCount() const;
    // Shows the page (counted from 0, limited to the document).
    void GoToPage(int pageIndex);
    // Shows the outline entry named so; false when the document has none.
    bool GoToDestination(const QString& name);
    int CurrentPage() const;

    QPdfDocument* Document() const { return m_document; }
    QPdfBookmarkModel* Outline() const { return m_outline; }
    QTreeView* OutlineView() const { return m_outlineView; }
    // The outline entry of the chapter the current page belongs to (invalid when none).
    QModelIndex CurrentOutlineEntry() const;
    // Opens the file with the desktop's default program; a failure is reported in a message box.
    bool OpenWithDefaultProgram();

    // The open viewer of a file, or null.
    static CPdfViewer* FindOpen(const QString& path);

private:
    void BuildActions();
    void UpdatePageBox();
    // Selects the outline entry of the current chapter.
    void HighlightOutline();
    // Shows the page with its top, or the given point on it, at the top of the view.
    void JumpTo(int pageIndex, const QPointF& location);

    QString m_path;
    QPdfDocument* m_document = nullptr;
    QPdfBookmarkModel* m_outline = nullptr;
    QPdfView* m_view = nullptr;
    QTreeView* m_outlineView = nullptr;
    QSpinBox* m_pageBox = nullptr;
};

namespace hwc::ui {

// The page of the outline entry that a named destination stands for: the title is the name or
// begins with it followed by a blank, ':' or '-' (exact case first, then any case), or else the
// title without its blanks is the name in any case ("Main Window" for "MainWindow"); -1 when no
// entry matches.
int FindOutlinePage(const QPdfBookmarkModel& outline, const QString& name);

} // namespace hwc::ui
