#include "toolkit/qt/QtPeers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "toolkit/qt/QtText.h"

namespace toolkit::qt {

namespace {
constexpr const char* kFontFamily = "MS Sans Serif";  // any plain face stands in where it is missing
constexpr int kFontPointSize = 8;
}  // namespace

// ---- ClientArea

void ClientArea::dock(QWidget* widget, native::Align align) {
    docked_.emplace_back(widget, align);
    layoutDocked();
}

void ClientArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutDocked();
}

void ClientArea::layoutDocked() {
    for (auto& [widget, align] : docked_) {
        if (widget.isNull()) continue;
        if (align == native::Align::Client)
            widget->setGeometry(rect());
        else if (align == native::Align::Bottom)
            widget->setGeometry(0, height() - widget->height(), width(), widget->height());
    }
}

// ---- FormWindow / QtWindow

FormWindow::FormWindow(std::function<void()>& onCloseRequest)
    : onCloseRequest_(onCloseRequest), client_(new ClientArea(this)) {
    setCentralWidget(client_);
    QFont font(QString::fromLatin1(kFontFamily));
    font.setPointSize(kFontPointSize);
    setFont(font);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The form decides: the main form ends the program, any other hides.
    event->ignore();
    if (onCloseRequest_) onCloseRequest_();
}

QtWindow::QtWindow() : window_(new FormWindow(onCloseRequest)) {
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
}

QtWindow::~QtWindow() {
    delete window_;
}

void QtWindow::setCaption(const std::string& caption) {
    window_->setWindowTitle(fromUtf8(caption));
}

void QtWindow::setBorder(native::Border border) {
    border_ = border;
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    if (border == native::Border::Sizeable) flags |= Qt::WindowMaximizeButtonHint;
    window_->setWindowFlags(flags);
    applySize();
}

void QtWindow::setClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    applySize();
}

void QtWindow::applySize() {
    if (border_ == native::Border::Fixed) {
        // The window follows its client area and menu bar, whatever the bar's height turns out to be.
        window_->client()->setFixedSize(clientWidth_, clientHeight_);
        window_->layout()->setSizeConstraint(QLayout::SetFixedSize);
    } else {
        window_->client()->setMinimumSize(0, 0);
        window_->client()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window_->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
        const int menuHeight = window_->menuWidget() != nullptr ? window_->menuWidget()->sizeHint().height() : 0;
        window_->resize(clientWidth_, clientHeight_ + menuHeight);
    }
}

void QtWindow::setPosition(int left, int top) {
    window_->move(left, top);  // a top-level move places the frame's outer corner
}

void QtWindow::setVisible(bool visible) {
    if (visible && window_->isMinimized()) window_->showNormal();
    window_->setVisible(visible);
}

bool QtWindow::isVisible() const {
    return window_->isVisible();
}

void QtWindow::setTabOrder(const std::vector<native::Control*>& order) {
    QWidget* previous = nullptr;
    for (native::Control* control : order) {
        QWidget* widget = dynamic_cast<QtControl&>(*control).widget();
        widget->setFocusPolicy(Qt::StrongFocus);
        if (previous != nullptr) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

// ---- controls

void FormButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

QtButton::QtButton(native::Window& parent) : QtControlOf(parent) {
    typed()->setAutoDefault(false);
    typed()->setDefault(false);
    QObject::connect(typed(), &QPushButton::clicked, [this] {
        if (onClick) onClick();
    });
}

void QtButton::setText(const std::string& text) {
    typed()->setText(literal(text));
}

QtLabel::QtLabel(native::Window& parent) : QtControlOf(parent) {
    typed()->setTextFormat(Qt::PlainText);
    typed()->setFocusPolicy(Qt::NoFocus);
}

void QtLabel::setText(const std::string& text) {
    typed()->setText(fromUtf8(text));
}

QtEdit::QtEdit(native::Window& parent) : QtControlOf(parent) {}

void QtEdit::setText(const std::string& text) {
    typed()->setText(fromUtf8(text));
}

void QtEdit::setReadOnly(bool readOnly) {
    typed()->setReadOnly(readOnly);
}

void QtEdit::setButtonFaceColor(bool buttonFace) {
    QPalette palette = typed()->parentWidget()->palette();
    if (buttonFace) palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    typed()->setPalette(palette);
}

std::string QtEdit::text() const {
    return typed()->text().toStdString();
}

QtStatusBar::QtStatusBar(native::Window& parent) : QtControlOf(parent), label_(new QLabel(typed())) {
    typed()->setSizeGripEnabled(false);
    typed()->setFont(QApplication::font());  // the system's status-bar font, not the form's
    typed()->setFocusPolicy(Qt::NoFocus);
    label_->setTextFormat(Qt::PlainText);
    typed()->addWidget(label_, 1);
}

void QtStatusBar::setText(const std::string& text) {
    label_->setText(fromUtf8(text));
}

namespace {
// More than a maximised window shows, so the lines in view are one block each.
constexpr int kUnjoinedLines = 256;
// Characters of a joined block: a few thousand lay out at once when scrolled to.
constexpr int kJoinedLength = 4096;
}  // namespace

QtMemo::QtMemo(native::Window& parent) : QtControlOf(parent) {}

void QtMemo::setText(const std::string& latin1) {
    typed()->clear();
    insertAtEnd(latin1);
}

void QtMemo::setScrollBars(bool horizontal, bool vertical) {
    typed()->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    typed()->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
}

void QtMemo::setWordWrap(bool wrap) {
    // Wrapped lines are counted by their blocks, so every line needs its own again.
    if (wrap && joined_) splitJoinedLines();
    typed()->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void QtMemo::setReadOnly(bool readOnly) {
    typed()->setReadOnly(readOnly);
}

bool QtMemo::endsWithEmptyLine() const {
    return typed()->document()->lastBlock().length() <= 1;  // a block's length counts its separator
}

void QtMemo::insertAtEnd(const std::string& latin1) {
    QString text = QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QTextDocument* document = typed()->document();
    // What the program appends cannot be undone, and keeping it on the undo
    // stack would make the memo grow twice over.
    document->setUndoRedoEnabled(false);
    // Joined first, so that the append reports the document's size with the
    // joined blocks' line counts already set.
    if (typed()->lineWrapMode() == QPlainTextEdit::NoWrap) joinOldLines();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    document->setUndoRedoEnabled(true);
    typed()->setTextCursor(cursor);
    typed()->ensureCursorVisible();
}

// Joins the next run of one-line blocks above the last kUnjoinedLines into one
// block once it holds kJoinedLength characters, so each line is joined once.
// Only the separators change: the text, and with it what the memo shows, stays.
void QtMemo::joinOldLines() {
    QTextDocument* document = typed()->document();
    const int end = document->blockCount() - kUnjoinedLines;
    firstUnjoined_ = std::clamp(firstUnjoined_, 0, std::max(end, 0));  // the user may have deleted lines
    QTextBlock first = document->findBlockByNumber(firstUnjoined_);
    while (firstUnjoined_ < end && first.length() >= kJoinedLength) {
        first = first.next();
        ++firstUnjoined_;
    }
    QTextBlock last = first;
    int length = first.length();
    for (int number = firstUnjoined_ + 1; number < end && length < kJoinedLength; ++number) {
        last = last.next();
        length += last.length();
    }
    if (length < kJoinedLength || last == first) return;

    const int start = first.position();
    QTextCursor run(document);
    run.setPosition(start);
    run.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);  // up to the last separator
    QString lines = run.selectedText();  // block separators read as paragraph separators
    lines.replace(QChar::ParagraphSeparator, QChar::LineSeparator);
    // In an edit block the cursor leaves its column unset instead of laying
    // out the joined block to find it.
    run.beginEditBlock();
    run.insertText(lines);
    run.endEditBlock();
    // The layout counts a block it has not laid out as one line; the scroll bar
    // and lineCount() need the real count.
    document->findBlock(start).setLineCount(static_cast<int>(lines.count(QChar::LineSeparator)) + 1);
    joined_ = true;
    ++firstUnjoined_;
}

void QtMemo::splitJoinedLines() {
    QTextDocument* document = typed()->document();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QTextCursor edit(document);
    edit.beginEditBlock();  // one relayout for all the splits
    const QString separator(QChar::LineSeparator);
    for (QTextCursor found = document->find(separator); !found.isNull(); found = document->find(separator, found))
        found.insertBlock();
    edit.endEditBlock();
    document->setUndoRedoEnabled(undo);
    joined_ = false;
    firstUnjoined_ = 0;
}

int QtMemo::lineCount() const {
    const QTextDocument* document = typed()->document();
    // Without wrapping the layout's count is one per line, joined blocks included.
    const int lines =
        typed()->lineWrapMode() == QPlainTextEdit::NoWrap ? document->lineCount() : document->blockCount();
    return lines - (endsWithEmptyLine() ? 1 : 0);
}

std::string QtMemo::text() const {
    QString text = typed()->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return text.toLatin1().toStdString();
}

// ---- timer

QtTimer::QtTimer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onTimer) onTimer();
    });
}

void QtTimer::setInterval(int milliseconds) {
    timer_.setInterval(milliseconds);
}

void QtTimer::setEnabled(bool enabled) {
    if (enabled)
        timer_.start();
    else
        timer_.stop();
}

// ---- test access

QMainWindow* qtWindow(const TForm& form) {
    return static_cast<QtWindow&>(form.nativeWindow()).window();
}

QWidget* qtWidget(const TControl& control) {
    return dynamic_cast<QtControl&>(*control.nativeControl()).widget();
}

}  // namespace toolkit::qt
