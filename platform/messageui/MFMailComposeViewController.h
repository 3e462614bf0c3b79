#pragma once

// MessageUI's mail sheet. Mail can be sent when the root has a mail account
// (/var/mobile/Library/Mail/Accounts.plist lists one under "Accounts" with an
// "EmailAddress"); Send writes the message as a standard MIME message (RFC
// 5322, attachments in base64) into /var/mobile/Library/Mail/Outbox, where a
// person can open it. The sheet's bar has "Cancel" and "Send"; either tells
// the delegate through "mailComposeController:didFinishWithResult:error:".

#include <string>
#include <vector>

#include <foundation/PropertyListValue.h>
#include <objc/WeakReference.h>
#include <uikit/UIViewController.h>

enum MFMailComposeResult : long {
    MFMailComposeResultCancelled = 0,
    MFMailComposeResultSaved = 1,
    MFMailComposeResultSent = 2,
    MFMailComposeResultFailed = 3,
};

inline constexpr const char* kMailAccountsPath = "/var/mobile/Library/Mail/Accounts.plist";
inline constexpr const char* kMailOutboxPath = "/var/mobile/Library/Mail/Outbox";

class MFMailComposeViewController : public UIViewController {
public:
    MFMailComposeViewController() = default;
    static Class objcClass();
    static Ref<MFMailComposeViewController> create();

    static bool canSendMail();

    // Not retained, as in MessageUI; weak.
    id mailComposeDelegate() const { return m_mailComposeDelegate.get(); }
    void setMailComposeDelegate(id delegate) { m_mailComposeDelegate = delegate; }

    const std::vector<std::string>& toRecipients() const { return m_toRecipients; }
    void setToRecipients(std::vector<std::string> recipients) { m_toRecipients = std::move(recipients); }
    const std::string& subject() const { return m_subject; }
    void setSubject(std::string subject) { m_subject = std::move(subject); }
    const std::string& messageBody() const { return m_messageBody; }
    bool isBodyHTML() const { return m_isBodyHTML; }
    void setMessageBody(std::string body, bool isHTML);

    struct Attachment {
        NSData data;
        std::string mimeType;
        std::string fileName;
    };
    const std::vector<Attachment>& attachments() const { return m_attachments; }
    void addAttachmentData(NSData, std::string mimeType, std::string fileName);

    // The message as it would be sent, and where Send last put it.
    std::string mimeMessage() const;
    const std::string& sentMessagePath() const { return m_sentMessagePath; }

    using DidFinish = void(id controller, long result, id error);

private:
    static id init(id, SEL);
    static void cancel(id, SEL, id sender);
    static void send(id, SEL, id sender);
    static void buildSheet(id, SEL, bool animated);
    void finish(MFMailComposeResult);

    WeakObjCPtr<> m_mailComposeDelegate;
    std::vector<std::string> m_toRecipients;
    std::string m_subject;
    std::string m_messageBody;
    bool m_isBodyHTML { false };
    std::vector<Attachment> m_attachments;
    std::string m_sentMessagePath;
};
