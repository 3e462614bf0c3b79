#include "ScreenSnapshot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <messageui/MFMailComposeViewController.h>
#include <social/SLComposeViewController.h>
#include <uikit/UIApplication.h>
#include <uikit/UIControl.h>
#include <uikit/UIViewRendering.h>
#include <uikit/UIWindow.h>

#include "SettingsApp.h"

namespace {

std::optional<ImageSnapshot> imageSnapshot(UIImage* image)
{
    if (!image)
        return std::nullopt;
    std::string name = image->sourcePath();
    auto slash = name.rfind('/');
    name = name.empty() ? "(drawn)" : name.substr(slash == std::string::npos ? 0 : slash + 1);
    return ImageSnapshot { name, image->renderingMode() == UIImageRenderingMode::AlwaysTemplate, image };
}

// A plain view with a round layer and a fill is how the screens draw a colour.
bool isSwatch(const UIView& view)
{
    return object_getClass(&view) == UIView::objcClass() && view.layer()->cornerRadius() > 0;
}

CGRect screenFrame(const UIView* view)
{
    if (!view || !view->window())
        return {};
    return view->convertRectToView(view->bounds(), nullptr);
}

AccessorySnapshot viewSnapshot(UIView* view)
{
    AccessorySnapshot accessory;
    if (!view)
        return accessory;
    accessory.width = view->frame().size.width;
    accessory.frame = screenFrame(view);
    if (auto* toggle = objc_dynamicCast<UISwitch>(view)) {
        accessory.kind = AccessorySnapshot::Kind::Switch;
        accessory.isOn = toggle->isOn();
        accessory.color = toggle->effectiveOnTintColor();
    } else if (auto* segments = objc_dynamicCast<UISegmentedControl>(view)) {
        accessory.kind = AccessorySnapshot::Kind::Segments;
        accessory.segments = segments->items();
        accessory.selectedSegment = segments->selectedSegmentIndex();
        accessory.color = segments->tintColor();
    } else if (auto* label = objc_dynamicCast<UILabel>(view)) {
        accessory.kind = AccessorySnapshot::Kind::Label;
        accessory.text = label->text();
        accessory.color = label->textColor();
    } else if (isSwatch(*view)) {
        accessory.kind = AccessorySnapshot::Kind::Swatch;
        accessory.color = view->backgroundColor();
    } else
        accessory.kind = AccessorySnapshot::Kind::View;
    return accessory;
}

AccessorySnapshot accessorySnapshot(const UITableViewCell& cell)
{
    if (cell.accessoryView())
        return viewSnapshot(cell.accessoryView());
    AccessorySnapshot accessory;
    if (cell.accessoryType() == UITableViewCellAccessoryType::Checkmark)
        accessory.kind = AccessorySnapshot::Kind::Checkmark;
    else if (cell.accessoryType() == UITableViewCellAccessoryType::DisclosureIndicator
        || cell.accessoryType() == UITableViewCellAccessoryType::DetailDisclosureButton)
        accessory.kind = AccessorySnapshot::Kind::Disclosure;
    return accessory;
}

UIView* viewShowing(UIBarButtonItem* item, UIView& root)
{
    if (auto* button = objc_dynamicCast<UIBarButtonItemView>(&root); button && button->item() == item)
        return button;
    for (auto& subview : root.subviews()) {
        if (auto* found = viewShowing(item, subview))
            return found;
    }
    return nullptr;
}

std::optional<BarButtonSnapshot> barButtonSnapshot(UIBarButtonItem* item, UIWindow& window)
{
    if (!item)
        return std::nullopt;
    BarButtonSnapshot snapshot { item->title(), item->accessibilityLabel(), imageSnapshot(item->image()), std::nullopt, item->effectiveTintColor(),
        screenFrame(viewShowing(item, window)) };
    // Bars draw an image of automatic rendering as a template.
    if (snapshot.image && item->image()->renderingMode() != UIImageRenderingMode::AlwaysOriginal)
        snapshot.image->isTemplate = true;
    if (item->customView())
        snapshot.customView = viewSnapshot(item->customView());
    return snapshot;
}

}

std::string colorText(const UIColor* color)
{
    CGFloat r, g, b, a;
    if (!color || !color->getRed(&r, &g, &b, &a))
        return "none";
    auto byte = [](CGFloat value) { return static_cast<int>(std::lround(std::clamp(value, 0.0, 1.0) * 255)); };
    char text[16];
    if (byte(a) == 255)
        std::snprintf(text, sizeof text, "#%02X%02X%02X", byte(r), byte(g), byte(b));
    else
        std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", byte(r), byte(g), byte(b), byte(a));
    return text;
}

const char* alignmentName(NSTextAlignment alignment)
{
    switch (alignment) {
    case NSTextAlignment::Left:
        return "left";
    case NSTextAlignment::Center:
        return "center";
    case NSTextAlignment::Right:
        return "right";
    case NSTextAlignment::Justified:
        return "justified";
    case NSTextAlignment::Natural:
        break;
    }
    return "natural";
}

ScreenSnapshot ScreenSnapshot::capture(const SettingsApp& app)
{
    ScreenSnapshot screen;
    UIWindow& window = app.window();
    UIViewController* top = app.topViewController();
    screen.barTint = app.splitNavigationController().navigationBar()->ownTintColor();
    if (!screen.barTint)
        screen.barTint = app.navigationController().navigationBar()->ownTintColor();
    screen.openedURLs = app.openedURLs();
    screen.sentMail = app.sentMail();
    if (auto alert = app.visibleAlert()) {
        screen.alert = AlertSnapshot { alert->title(), alert->message(), alert->buttonTitles(), {}, alert->cancelButtonIndex(), alert->tag() };
        for (long i = 0; i < alert->numberOfButtons(); ++i)
            screen.alert->buttonFrames.push_back(screenFrame(alert->buttonView(i)));
    }
    if (!top)
        return screen;
    screen.controllerClass = object_getClassName(top);
    screen.depth = app.navigationController().viewControllers().size() - 1;
    screen.title = top->navigationItem()->title();
    if (auto* imageView = objc_dynamicCast<UIImageView>(top->navigationItem()->titleView()))
        screen.titleImage = imageSnapshot(imageView->image());
    screen.viewTint = top->view()->ownTintColor();
    screen.leftBarButton = barButtonSnapshot(top->navigationItem()->leftBarButtonItem(), window);
    screen.rightBarButton = barButtonSnapshot(top->navigationItem()->rightBarButtonItem(), window);
    auto& bar = *app.splitNavigationController().navigationBar();
    if (auto* back = objc_dynamicCast<UIControl>(bar.backButtonView())) {
        auto& stack = app.navigationController().viewControllers();
        std::string title = stack.size() > 1 ? stack[stack.size() - 2]->navigationItem()->title() : std::string();
        screen.backButton = BarButtonSnapshot { title.empty() ? "Back" : title, {}, std::nullopt, std::nullopt, back->tintColor(), screenFrame(back) };
    }

    app.window().layoutSubtreeIfNeeded();
    if (auto* table = app.topTable()) {
        // From the content's top, under a bar or not.
        screen.contentOffset = { table->contentOffset().x - table->minimumContentOffset().x, table->contentOffset().y - table->minimumContentOffset().y };
        screen.contentSize = table->contentSize();
        for (long s = 0; s < table->numberOfSections(); ++s) {
            SectionSnapshot section { table->headerTitle(s), table->footerTitle(s), table->headerAlignment(s), table->footerAlignment(s), std::nullopt, {} };
            if (auto* header = table->headerView(s))
                section.headerControl = viewSnapshot(header);
            for (long r = 0; r < table->numberOfRowsInSection(s); ++r) {
                auto* cell = table->cellForRow(s, r);
                auto* imageView = cell->imageView();
                section.rows.push_back({ cell->textLabel()->text(), cell->textLabel()->font(), imageSnapshot(imageView->image()), accessorySnapshot(*cell),
                    cell->contentView()->alpha(), cell->isUserInteractionEnabled(), cell->isHighlighted(), table->rowHeight(s, r), screenFrame(cell),
                    cell->textLabel()->frame(), imageView->isHidden() ? std::nullopt : std::optional(imageView->frame()), cell->separatorInset() });
            }
            screen.sections.push_back(std::move(section));
        }
    }
    if (auto* sheet = objc_dynamicCast<SLComposeViewController>(app.presentedSheet())) {
        SheetSnapshot snapshot;
        snapshot.kind = object_getClassName(sheet);
        snapshot.fields = { { "service", sheet->serviceType() }, { "text", sheet->initialText() } };
        for (auto& url : sheet->urls())
            snapshot.fields.push_back({ "url", url });
        screen.sheet = std::move(snapshot);
    } else if (auto* mail = objc_dynamicCast<MFMailComposeViewController>(app.presentedSheet())) {
        SheetSnapshot snapshot;
        snapshot.kind = object_getClassName(mail);
        for (auto& recipient : mail->toRecipients())
            snapshot.fields.push_back({ "to", recipient });
        snapshot.fields.push_back({ "subject", mail->subject() });
        snapshot.fields.push_back({ mail->isBodyHTML() ? "body (HTML)" : "body", mail->messageBody() });
        for (auto& attachment : mail->attachments()) {
            auto lines = std::count(attachment.data.begin(), attachment.data.end(), '\n');
            snapshot.fields.push_back({ "attachment",
                attachment.fileName + " (" + attachment.mimeType + ", " + std::to_string(attachment.data.size()) + " bytes, " + std::to_string(lines)
                    + " lines)" });
        }
        screen.sheet = std::move(snapshot);
    } else if (auto* presented = app.presentedSheet())
        screen.sheet = SheetSnapshot { object_getClassName(presented), {}, std::nullopt, std::nullopt };
    if (screen.sheet) {
        auto* item = app.presentedSheet()->navigationItem();
        screen.sheet->leftBarButton = barButtonSnapshot(item->leftBarButtonItem(), window);
        screen.sheet->rightBarButton = barButtonSnapshot(item->rightBarButtonItem(), window);
    }
    return screen;
}

bool writeScreenPicture(const SettingsApp& app, const std::string& hostPath)
{
    auto picture = imageOfViewHierarchy(app.window());
    return picture && picture->writePNGToHostFile(hostPath);
}
