#include "MFMailComposeViewController.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>

#include <device/DeviceRoot.h>
#include <device/FileSystem.h>
#include <foundation/NSDictionary.h>
#include <foundation/PropertyListSerialization.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>
#include <uikit/NSStringDrawing.h>
#include <uikit/UIFont.h>
#include <uikit/UILabel.h>

namespace {

std::string accountAddress()
{
    auto accounts = NSDictionary::dictionaryWithContentsOfFile(kMailAccountsPath);
    auto* list = accounts ? accounts->objectForKey("Accounts") : nullptr;
    if (!list || !list->asArray())
        return {};
    for (auto& account : *list->asArray()) {
        auto* address = account.objectForKey("EmailAddress");
        if (address && address->asString() && address->asString()->find('@') != std::string::npos)
            return *address->asString();
    }
    return {};
}

// RFC 2045: base64 in lines of at most 76 characters.
std::string base64Lines(const NSData& data)
{
    std::string encoded = foundation::base64Encode(data);
    std::string lines;
    for (std::size_t start = 0; start < encoded.size(); start += 76)
        lines += encoded.substr(start, 76) + "\r\n";
    return lines;
}

bool isPlainHeaderText(const std::string& text)
{
    for (unsigned char c : text) {
        if (c >= 0x80 || c == '\r' || c == '\n')
            return false;
    }
    return true;
}

// RFC 2047: a header value outside ASCII (or with line breaks, which would
// start a header of their own) goes as base64 encoded-words.
std::string headerText(const std::string& text)
{
    if (isPlainHeaderText(text))
        return text;
    // Encoded-words stay under 76 characters and never split a character.
    std::string words;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = std::min(text.size(), start + 45);
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        if (end == start)
            end = std::min(text.size(), start + 45);
        words += (words.empty() ? "" : "\r\n ") + std::string("=?UTF-8?B?")
            + foundation::base64Encode(NSData(text.begin() + static_cast<long>(start), text.begin() + static_cast<long>(end))) + "?=";
        start = end;
    }
    return words;
}

// A file name for a header parameter: quotes and breaks cannot end it early.
std::string quotedParameter(const std::string& text)
{
    std::string quoted;
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        if (c != '\r' && c != '\n')
            quoted += c;
    }
    return "\"" + quoted + "\"";
}

std::string rfc5322Date()
{
    std::time_t now = std::time(nullptr);
    std::tm utc {};
    ::gmtime_r(&now, &utc);
    char text[64];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S +0000", &utc);
    return text;
}

std::string withCRLF(const std::string& text)
{
    std::string converted;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            converted += '\r';
        converted += text[i];
    }
    return converted;
}

std::atomic<unsigned> messageCount { 0 };

}

Class MFMailComposeViewController::objcClass()
{
    static Class cls = ClassBuilder<MFMailComposeViewController>("MFMailComposeViewController", UIViewController::objcClass())
                           .method("init", &MFMailComposeViewController::init)
                           .method("cancel:", &MFMailComposeViewController::cancel)
                           .method("send:", &MFMailComposeViewController::send)
                           .method("viewWillAppear:", &MFMailComposeViewController::buildSheet)
                           .registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredMFMailComposeViewController = MFMailComposeViewController::objcClass();

Ref<MFMailComposeViewController> MFMailComposeViewController::create()
{
    auto made = allocInit(objcClass());
    return adoptRef(*static_cast<MFMailComposeViewController*>(made.leakRef()));
}

id MFMailComposeViewController::init(id self, SEL op)
{
    self = objc_msgSendSuper<id()>(objcClass(), self, op);
    if (!self)
        return self;
    auto* sheet = static_cast<MFMailComposeViewController*>(self);
    sheet->setTitle("New Message");
    sheet->navigationItem()->setLeftBarButtonItem(
        UIBarButtonItem::initWithTitle("Cancel", UIBarButtonItemStyle::Plain, self, sel_registerName("cancel:")).ptr());
    sheet->navigationItem()->setRightBarButtonItem(UIBarButtonItem::initWithTitle("Send", UIBarButtonItemStyle::Done, self, sel_registerName("send:")).ptr());
    return self;
}

void MFMailComposeViewController::buildSheet(id self, SEL, bool)
{
    // iOS 9's mail sheet, without its keyboard: the bar, the address and
    // subject fields over hairlines, the body, and the attachments.
    auto* sheet = static_cast<MFMailComposeViewController*>(self);
    UIView* view = sheet->view();
    for (auto& subview : std::vector<Ref<UIView>>(view->subviews()))
        subview->removeFromSuperview();
    view->setBackgroundColor(UIColor::whiteColor().ptr());
    CGFloat width = view->bounds().size.width;
    auto bar = adoptRef(*new UINavigationBar);
    UIView::initWithFrame(bar.ptr(), initWithFrameSelector(), CGRectMake(0, 20, width, 44));
    UINavigationItem item;
    item.setTitle(sheet->m_subject.empty() ? "New Message" : sheet->m_subject);
    item.setLeftBarButtonItem(sheet->navigationItem()->leftBarButtonItem());
    item.setRightBarButtonItem(sheet->navigationItem()->rightBarButtonItem());
    bar->showItem(&item, nullptr, nullptr);
    view->addSubview(bar);
    CGFloat y = 64;
    auto grey = UIColor::colorWithWhite(0.56, 1);
    // The field's name in grey, its value in black after it.
    auto font = UIFont::systemFontOfSize(15);
    auto addField = [&](const std::string& name, const std::string& value) {
        auto nameLabel = UILabel::create(CGRectMake(15, y, width - 30, 44));
        nameLabel->setText(name);
        nameLabel->setFont(font.ptr());
        nameLabel->setTextColor(grey.ptr());
        CGFloat nameWidth = std::ceil(sizeWithAttributes(name, { font.ptr() }).width);
        nameLabel->setFrame(CGRectMake(15, y, nameWidth, 44));
        view->addSubview(nameLabel);
        auto valueLabel = UILabel::create(CGRectMake(15 + nameWidth + 5, y, std::max(0.0, width - 30 - nameWidth - 5), 44));
        valueLabel->setText(value);
        valueLabel->setFont(font.ptr());
        view->addSubview(valueLabel);
        auto hairline = UIView::create(CGRectMake(15, y + 43.5, width - 15, 0.5));
        hairline->setBackgroundColor(UIColor::colorWithRed(200 / 255.0, 199 / 255.0, 204 / 255.0, 1).ptr());
        view->addSubview(hairline);
        y += 44;
    };
    std::string recipients;
    for (auto& recipient : sheet->m_toRecipients)
        recipients += (recipients.empty() ? "" : ", ") + recipient;
    addField("To:", recipients);
    addField("Cc/Bcc:", "");
    addField("Subject:", sheet->m_subject);
    auto addBody = [&](const std::string& text, RefPtr<UIColor> color) {
        auto label = UILabel::create(CGRectMake(15, y + 10, width - 30, 0));
        label->setText(text);
        label->setNumberOfLines(0);
        label->setFont(UIFont::systemFontOfSize(15));
        label->setTextColor(std::move(color));
        label->setFrame(CGRectMake(15, y + 10, width - 30, std::min(label->heightForWidth(width - 30), 400.0)));
        view->addSubview(label);
        y += label->frame().size.height + 10;
    };
    addBody(sheet->m_messageBody, nullptr);
    for (auto& attachment : sheet->m_attachments)
        addBody(attachment.fileName + " (" + std::to_string(attachment.data.size()) + " bytes)", grey.ptr());
}

bool MFMailComposeViewController::canSendMail()
{
    return !accountAddress().empty();
}

void MFMailComposeViewController::setMessageBody(std::string body, bool isHTML)
{
    m_messageBody = std::move(body);
    m_isBodyHTML = isHTML;
}

void MFMailComposeViewController::addAttachmentData(NSData data, std::string mimeType, std::string fileName)
{
    m_attachments.push_back({ std::move(data), std::move(mimeType), std::move(fileName) });
}

std::string MFMailComposeViewController::mimeMessage() const
{
    std::string boundary = "Menutone-Boundary-" + std::to_string(::getpid()) + "-" + std::to_string(messageCount.load());
    std::string to;
    for (auto& recipient : m_toRecipients)
        to += (to.empty() ? "" : ", ") + headerText(recipient);
    std::string message = "From: " + headerText(accountAddress()) + "\r\n" + "To: " + to + "\r\n" + "Subject: " + headerText(m_subject) + "\r\n"
        + "Date: " + rfc5322Date() + "\r\n" + "MIME-Version: 1.0\r\n" + "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    message += "--" + boundary + "\r\n";
    message += std::string("Content-Type: ") + (m_isBodyHTML ? "text/html" : "text/plain") + "; charset=utf-8\r\n";
    message += "Content-Transfer-Encoding: base64\r\n\r\n";
    message += base64Lines(NSData(m_messageBody.begin(), m_messageBody.end()));
    for (auto& attachment : m_attachments) {
        message += "--" + boundary + "\r\n";
        std::string type = isPlainHeaderText(attachment.mimeType) && !attachment.mimeType.empty() ? attachment.mimeType : "application/octet-stream";
        // Text parts say their charset, or a reader takes the UTF-8 for Latin-1.
        std::string charset = type.starts_with("text/") && type.find("charset=") == std::string::npos ? "; charset=utf-8" : "";
        message += "Content-Type: " + type + charset + "; name=" + quotedParameter(attachment.fileName) + "\r\n";
        message += "Content-Disposition: attachment; filename=" + quotedParameter(attachment.fileName) + "\r\n";
        message += "Content-Transfer-Encoding: base64\r\n\r\n";
        message += base64Lines(attachment.data);
    }
    message += "--" + boundary + "--\r\n";
    return withCRLF(message);
}

void MFMailComposeViewController::finish(MFMailComposeResult result)
{
    Ref<MFMailComposeViewController> protectedThis(*this);
    static SEL didFinish = sel_registerName("mailComposeController:didFinishWithResult:error:");
    if (RefPtr<NSObject> delegate = m_mailComposeDelegate.retained(); delegate && delegate->respondsToSelector(didFinish))
        objc_msgSend<DidFinish>(delegate.get(), didFinish, static_cast<id>(this), static_cast<long>(result), static_cast<id>(nullptr));
}

void MFMailComposeViewController::cancel(id self, SEL, id)
{
    static_cast<MFMailComposeViewController*>(self)->finish(MFMailComposeResultCancelled);
}

void MFMailComposeViewController::send(id self, SEL, id)
{
    auto* sheet = static_cast<MFMailComposeViewController*>(self);
    DeviceRoot root = DeviceRoot::current();
    std::string name = std::to_string(std::chrono::system_clock::now().time_since_epoch().count()) + "-" + std::to_string(::getpid()) + "-"
        + std::to_string(messageCount++) + ".eml";
    std::string message = sheet->mimeMessage();
    bool isWritten = root.createFolders(kMailOutboxPath)
        && root.writeFile(std::string(kMailOutboxPath) + "/" + name, std::span(reinterpret_cast<const std::uint8_t*>(message.data()), message.size()),
            device::WriteMode::Atomic);
    sheet->m_sentMessagePath = isWritten ? std::string(kMailOutboxPath) + "/" + name : std::string();
    sheet->finish(isWritten ? MFMailComposeResultSent : MFMailComposeResultFailed);
}
