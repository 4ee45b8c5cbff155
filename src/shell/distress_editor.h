#pragma once

#include "messaging/message_submission.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace tessaro {

class CConfiguration;
class CSession;
class MessageEditor;

// "Continue to Distress Message Editor ?" with Yes and No; the dialog's result is 6 for Yes, 7 for No.
class DistressEditorInfo1 final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kYes = 6;
    static constexpr int kNo = 7;
    explicit DistressEditorInfo1(QWidget* parent = nullptr);
    QString text() const;
    QPushButton* yesButton() const { return m_yes; }
    QPushButton* noButton() const { return m_no; }

private:
    QLabel* m_text;
    QPushButton* m_yes;
    QPushButton* m_no;
};

// The reminder to write the distress priority message in English.
class DistressEditorInfo2 final : public QDialog {
    Q_OBJECT
public:
    explicit DistressEditorInfo2(QWidget* parent = nullptr);
    QString text() const;
    QPushButton* okButton() const { return m_ok; }

private:
    QLabel* m_text;
    QPushButton* m_ok;
};

// Puts the message editor into distress mode and takes it out again. In distress mode the session's message
// priority is distress, the only recipient is To "SEARCH & RESCUE" (red, locked) and the body has the
// position, mobile number and vessel data. The recipients, subject and priority from before are kept once,
// on entering, and come back on leaving; the body stays as written. Closing the editor leaves distress mode.
// Both dialogs are window-modal without a nested event loop: the controller goes on when they are answered.
class DistressEditorController final : public QObject {
    Q_OBJECT
public:
    // openEditor switches the main window to the message editor and returns it (null: none to be had).
    using EditorOpener = std::function<MessageEditor*()>;
    DistressEditorController(CConfiguration& config, CSession& session, EditorOpener openEditor,
                             QWidget* dialogParent = nullptr);

    // The "Click for Distress Editor" button and the "&Distress Message Editor" menu entry.
    void DistressEditorButton_Click();
    // Back to the kept recipients, subject and priority; nothing happens outside distress mode.
    void leave();
    bool active() const { return m_saved.has_value(); }

    // The dialogs while they are up, else null (tests answer them).
    DistressEditorInfo1* info1() const { return m_info1; }
    DistressEditorInfo2* info2() const { return m_info2; }

Q_SIGNALS:
    void activeChanged(bool active);

private:
    void enter();
    void lockEditor(MessageEditor& editor);
    void insertShipData(MessageEditor& editor);

    struct Kept {
        QVector<Recipient> recipients;
        QString subject;
        int priority = 0;
    };

    CConfiguration& m_config;
    CSession& m_session;
    EditorOpener m_openEditor;
    QPointer<QWidget> m_dialogParent;
    QPointer<MessageEditor> m_editor;
    QPointer<DistressEditorInfo1> m_info1;
    QPointer<DistressEditorInfo2> m_info2;
    std::optional<Kept> m_saved;
};

// The button and the menu entry's text, for the main window.
QPushButton* MakeDistressEditorButton(QWidget* parent);
QString DistressEditorMenuText();

} // namespace tessaro
