#include <gtest/gtest.h>

#include <foundation/NSDictionary.h>
#include <messageui/MFMailComposeViewController.h>
#include <objc/ClassBuilder.h>

#include "TestSupport.h"

namespace {

class MailDelegateForTesting : public NSObject {
public:
    static Class objcClass();
    std::string m_log;
};

void didFinish(id self, SEL, id, long result, id)
{
    static_cast<MailDelegateForTesting*>(self)->m_log += "finished(" + std::to_string(result) + ") ";
}

Class MailDelegateForTesting::objcClass()
{
    static Class cls = ClassBuilder<MailDelegateForTesting>("MailDelegateForTesting", NSObject::objcClass())
                           .method("mailComposeController:didFinishWithResult:error:", &didFinish)
                           .registerClass();
    return cls;
}

void addAccount()
{
    NSFileManager::defaultManager().createDirectoryAtPath("/var/mobile/Library/Mail");
    NSDictionary(
        { { "Accounts", PropertyListValue::array({ PropertyListValue::dictionary({ { "EmailAddress", PropertyListValue::string("me@example.com") } }) }) } })
        .writeToFile(kMailAccountsPath, Atomically::Yes);
}

}

TEST(MFMailComposeViewController, MailNeedsAnAccountWithAnAddress)
{
    TemporaryRoot root;
    EXPECT_FALSE(MFMailComposeViewController::canSendMail());
    NSFileManager::defaultManager().createDirectoryAtPath("/var/mobile/Library/Mail");
    NSDictionary({ { "Accounts", PropertyListValue::array({ PropertyListValue::dictionary({}) }) } }).writeToFile(kMailAccountsPath, Atomically::Yes);
    EXPECT_FALSE(MFMailComposeViewController::canSendMail());
    addAccount();
    EXPECT_TRUE(MFMailComposeViewController::canSendMail());
}

TEST(MFMailComposeViewController, ASentMessageReadsBackWholeInAnotherMIMEReader)
{
    TemporaryRoot root;
    addAccount();
    auto delegate = adoptRef(*static_cast<MailDelegateForTesting*>(class_createInstance(MailDelegateForTesting::objcClass()).leakRef()));
    auto mail = MFMailComposeViewController::create();
    mail->setMailComposeDelegate(delegate.ptr());
    mail->setToRecipients({ "support@example.com", "second@example.com" });
    std::string subject = "Caf\u00E9 \u2014 r\u00E9sum\u00E9 of a rather long subject line that needs more than one encoded word \u00E9\u00E9\u00E9";
    mail->setSubject(subject + "\r\nBcc: injected@example.com");
    mail->setMessageBody("<p>Hello</p>\n", true);
    std::string binary;
    for (int i = 0; i < 1000; ++i)
        binary += static_cast<char>(i * 7 % 256);
    mail->addAttachmentData(NSData(binary.begin(), binary.end()), "application/octet-stream", "odd \"name\".bin");
    std::string listing = "caf\u00E9 \u2603\n";
    mail->addAttachmentData(NSData(listing.begin(), listing.end()), "text/plain", "tweaks.txt");

    mail->navigationItem()->rightBarButtonItem()->tapByUser();
    EXPECT_EQ(delegate->m_log, "finished(2) ");
    ASSERT_FALSE(mail->sentMessagePath().empty());
    auto parsed = runCommand(
        "python3 -c 'import email,sys\n"
        "from email import policy\n"
        "m=email.message_from_binary_file(open(sys.argv[1],\"rb\"),policy=policy.default)\n"
        "parts=list(m.iter_parts())\n"
        "print(m[\"To\"]);print(m[\"Bcc\"]);print(parts[0].get_content_type());print(repr(parts[0].get_content()));print(parts[1].get_filename())\n"
        "print(parts[1].get_payload(decode=True).hex());print(m[\"Subject\"]);print(parts[2].get_content_charset(), repr(parts[2].get_content()))' '"
        + root.hostPath(mail->sentMessagePath()).string() + "'");
    std::string hex;
    for (unsigned char c : binary) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", c);
        hex += pair;
    }
    EXPECT_EQ(parsed.output,
        "support@example.com, second@example.com\nNone\ntext/html\n'<p>Hello</p>\\n'\nodd \"name\".bin\n" + hex + "\n" + subject
            + "\r\nBcc: injected@example.com\nutf-8 'caf\u00E9 \u2603\\n'\n")
        << "a line break in the subject cannot start a header of its own";

    mail->navigationItem()->leftBarButtonItem()->tapByUser();
    EXPECT_EQ(delegate->m_log, "finished(2) finished(0) ");
}
