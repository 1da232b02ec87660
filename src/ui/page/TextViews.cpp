// Edit fields, derived-value fields, labels and hyperlinks.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTextDocument>

#include "ui/page/ControlView.h"
#include "ui/page/PageText.h"

namespace hwc::ui::page {
namespace {

// Indicator labels carry warnings of a sentence or two; those wrap instead of widening the page.
constexpr qsizetype kWrapLabelAt = 60;

class CEditView final : public CControlView {
public:
    explicit CEditView(CPageControl& control) : CControlView(control) {
        m_edit = new QLineEdit;
        SetWidget(m_edit);
        if (control.Kind() == EControlKind::ReadOnlyEdit) {
            m_edit->setReadOnly(true);
            m_edit->setFocusPolicy(Qt::ClickFocus);
            return;
        }
        // Bindings expect the text on each change, as typed.
        QObject::connect(m_edit, &QLineEdit::textEdited, m_edit,
                         [this](const QString& text) { Page().UserEdit(Control(), FromQt(text)); });
    }

protected:
    void RefreshContent() override {
        const QString text = ToQt(Control().Text());
        if (m_edit->text() == text)
            return; // the text the user is typing stays untouched, cursor and all
        const int cursor = m_edit->cursorPosition();
        const bool typing = m_edit->hasFocus();
        m_edit->setText(text);
        if (typing)
            m_edit->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
        else
            m_edit->setCursorPosition(0); // long derived values show their beginning
    }

    // A derived value looks read-only: the field takes the colour of the page behind it.
    QPalette BasePalette() const override {
        QPalette palette;
        if (Control().Kind() == EControlKind::ReadOnlyEdit)
            palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Window));
        return palette;
    }

private:
    QLineEdit* m_edit;
};

class CLabelView final : public CControlView {
public:
    explicit CLabelView(CPageControl& control) : CControlView(control) {
        m_label = new QLabel;
        m_label->setTextFormat(Qt::PlainText);
        SetWidget(m_label);
    }

protected:
    void RefreshContent() override {
        const QString text = ToQt(Control().Text());
        m_label->setWordWrap(text.size() > kWrapLabelAt);
        m_label->setText(text);
    }

private:
    QLabel* m_label;
};

// The text is shown as a link; a text that already holds an anchor is shown as it is.
QString LinkMarkup(const QString& text) {
    if (text.contains(QLatin1String("<a "), Qt::CaseInsensitive))
        return text;
    return QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped());
}

class CLinkView final : public CControlView {
public:
    explicit CLinkView(CPageControl& control) : CControlView(control) {
        m_label = new QLabel;
        m_label->setTextFormat(Qt::RichText);
        m_label->setOpenExternalLinks(false);
        m_label->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                         Qt::LinksAccessibleByKeyboard);
        SetWidget(m_label);
        QObject::connect(m_label, &QLabel::linkActivated, m_label,
                         [this] { Page().UserFollowLink(Control()); });
    }

protected:
    void RefreshContent() override {
        const QString markup = LinkMarkup(ToQt(Control().Text()));
        // A status sentence naming several modules wraps like a long label does.
        QTextDocument document;
        document.setHtml(markup);
        m_label->setWordWrap(document.toPlainText().size() > kWrapLabelAt);
        m_label->setText(markup);
    }

private:
    QLabel* m_label;
};

} // namespace

std::unique_ptr<CControlView> MakeTextView(CPageControl& control) {
    switch (control.Kind()) {
    case EControlKind::Edit:
    case EControlKind::ReadOnlyEdit:
        return std::make_unique<CEditView>(control);
    case EControlKind::Hyperlink:
        return std::make_unique<CLinkView>(control);
    default:
        return std::make_unique<CLabelView>(control);
    }
}

} // namespace hwc::ui::page
