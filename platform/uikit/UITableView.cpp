#include "UITableView.h"

#include <objc/Assertions.h>
#include <objc/AutoreleasePool.h>
#include <objc/ClassBuilder.h>
#include <objc/MessageSend.h>

#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "UIFont.h"
#include "UIGraphics.h"
#include "UITouch.h"
#include "UIViewAnimation.h"
#include "ViewDrawing.h"

namespace {

std::string pathText(long section, long row)
{
    return std::to_string(section) + ":" + std::to_string(row);
}

SEL selector(const char* name)
{
    return sel_registerName(name);
}

template <typename Signature, typename... Arguments> auto ask(id receiver, const char* name, auto fallback, Arguments... arguments)
{
    SEL op = selector(name);
    if (!receiver || !receiver->respondsToSelector(op))
        return decltype(objc_msgSend<Signature>(receiver, op, arguments...))(fallback);
    return objc_msgSend<Signature>(receiver, op, arguments...);
}

}

Class NSIndexPath::objcClass()
{
    static Class cls = ClassBuilder<NSIndexPath>("NSIndexPath", NSObject::objcClass()).registerClass();
    return cls;
}

Class UITableViewCell::objcClass()
{
    static Class cls = ClassBuilder<UITableViewCell>("UITableViewCell", UIView::objcClass())
                           .method("initWithStyle:reuseIdentifier:", &UITableViewCell::initWithStyle)
                           .method("layoutSubviews", &UITableViewCell::layoutSubviews)
                           .registerClass();
    return cls;
}

Class UITableView::objcClass()
{
    static Class cls = ClassBuilder<UITableView>("UITableView", UIScrollView::objcClass())
                           .method("initWithFrame:style:", &UITableView::initWithFrameStyle)
                           .method("layoutSubviews", &UITableView::layoutSubviews)
                           .registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredNSIndexPath = NSIndexPath::objcClass();
[[maybe_unused]] static Class registeredUITableViewCell = UITableViewCell::objcClass();
[[maybe_unused]] static Class registeredUITableView = UITableView::objcClass();

Ref<NSIndexPath> NSIndexPath::indexPathForRow(long row, long section)
{
    auto path = adoptRef(*new NSIndexPath);
    path->m_row = row;
    path->m_section = section;
    return path;
}

bool NSIndexPath::isEqual(const NSObject* other) const
{
    auto* path = objc_dynamicCast<NSIndexPath>(const_cast<NSObject*>(other));
    return path && path->m_section == m_section && path->m_row == m_row;
}

std::size_t NSIndexPath::hash() const
{
    return static_cast<std::size_t>(m_section) * 1000003u + static_cast<std::size_t>(m_row);
}

std::string NSIndexPath::description() const
{
    return "<NSIndexPath {" + std::to_string(m_section) + ", " + std::to_string(m_row) + "}>";
}

namespace {

// UIKit's UITableViewCellContentView: a change within it (a new image or
// text) marks the cell, whose layout places what the content view holds.
class UITableViewCellContentView final : public UIView {
public:
    static Class objcClass()
    {
        static Class cls = ClassBuilder<UITableViewCellContentView>("UITableViewCellContentView", UIView::objcClass()).registerClass();
        return cls;
    }

    static Ref<UIView> create(CGRect frame)
    {
        objcClass();
        Ref<UIView> view = adoptRef(*new UITableViewCellContentView);
        objc_msgSend<id(CGRect)>(view.ptr(), initWithFrameSelector(), frame);
        return view;
    }

    void setNeedsLayout() override
    {
        UIView::setNeedsLayout();
        if (auto* cell = superview())
            cell->setNeedsLayout();
    }
};

}

UITableViewCell::UITableViewCell()
    : m_contentView(UITableViewCellContentView::create(CGRectMake(0, 0, UIScreen::mainScreen().bounds().size.width, 44)))
    , m_textLabel(UILabel::create(CGRectMake(15, 0, 260, 44)))
    , m_detailTextLabel(UILabel::create(CGRectMake(200, 0, 160, 44)))
    , m_imageView(UIImageView::create(CGRectMake(15, 7, 29, 29)))
{
    addSubview(m_contentView);
    m_contentView->addSubview(m_imageView);
    m_contentView->addSubview(m_textLabel);
    m_contentView->addSubview(m_detailTextLabel);
    setBackgroundColor(UIColor::whiteColor().ptr());
    m_detailTextLabel->setTextAlignment(NSTextAlignment::Right);
    m_detailTextLabel->setTextColor(UIColor::colorWithWhite(0.56, 1).ptr());
}

namespace {

// The room iOS 9 leaves for what a cell's accessory type draws.
CGFloat accessoryTypeWidth(UITableViewCellAccessoryType type)
{
    switch (type) {
    case UITableViewCellAccessoryType::Checkmark:
        return 14;
    case UITableViewCellAccessoryType::DisclosureIndicator:
    case UITableViewCellAccessoryType::DetailDisclosureButton:
        return 8;
    case UITableViewCellAccessoryType::None:
        break;
    }
    return 0;
}

// The phone's margin: 15 points, 20 on the Plus.
CGFloat cellInset()
{
    return deviceDescription(UIScreen::mainScreen().device()).layoutMargin;
}
// Between a row's image and its text, on every phone.
constexpr CGFloat imageTextGap = 15;
constexpr CGFloat accessoryGap = 8;
// A value label never takes the row from its title, but keeps this much.
constexpr CGFloat minimumValueWidth = 60;

}

void UITableViewCell::layoutSubviews(id self, SEL)
{
    auto* cell = static_cast<UITableViewCell*>(self);
    CGSize size = cell->bounds().size;
    cell->m_contentView->setFrame({ {}, size });
    CGFloat x = cellInset();
    bool hasImage = cell->m_imageView->image();
    cell->m_imageView->setHidden(!hasImage);
    if (hasImage) {
        cell->m_imageView->setFrame(CGRectMake(cellInset(), (size.height - 29) / 2, 29, 29));
        x = cellInset() + 29 + imageTextGap;
    }
    cell->m_separatorInset = x;
    CGFloat right = size.width - cellInset();
    Ref<UIFont> font = cell->m_textLabel->font() ? Ref<UIFont>(*cell->m_textLabel->font()) : UIFont::systemFontOfSize(17);
    CGFloat titleWidth = std::ceil(sizeWithAttributes(cell->m_textLabel->text(), { font.ptr() }).width);
    CGFloat accessoryWidth = accessoryTypeWidth(cell->m_accessoryType);
    if (auto* accessory = cell->m_accessoryView.get()) {
        CGSize accessorySize = accessory->frame().size;
        accessoryWidth = accessorySize.width;
        if (objc_dynamicCast<UILabel>(accessory)) {
            CGFloat room = right - x - (titleWidth > 0 ? titleWidth + accessoryGap : 0);
            accessoryWidth = std::max(0.0, std::min(accessoryWidth, std::max(room, std::min(accessoryWidth, minimumValueWidth))));
        } else {
            // Within the content view, clear of the image: a wide control
            // (three segments) narrows rather than leaving the cell.
            accessoryWidth = std::max(0.0, std::min(accessoryWidth, right - x));
        }
        accessory->setFrame(CGRectMake(right - accessoryWidth, (size.height - accessorySize.height) / 2, accessoryWidth, accessorySize.height));
    }
    CGFloat textRight = accessoryWidth > 0 ? right - accessoryWidth - accessoryGap : right;
    cell->m_textLabel->setFrame(CGRectMake(x, 0, std::max(0.0, textRight - x), size.height));
    bool hasDetail = !cell->m_detailTextLabel->text().empty();
    cell->m_detailTextLabel->setHidden(!hasDetail);
    if (hasDetail) {
        CGFloat detailWidth = std::max(0.0, std::min(textRight - x - titleWidth - accessoryGap, textRight - x));
        cell->m_detailTextLabel->setFrame(CGRectMake(textRight - detailWidth, 0, detailWidth, size.height));
    }
}

void UITableViewCell::setHighlighted(bool isHighlighted, bool animated)
{
    m_isHighlighted = isHighlighted;
    UIViewAnimation::moveValue(*this, &UITableViewCell::m_highlightOpacity, isHighlighted ? 1 : 0, animated, UIViewAnimation::Seconds(0.3),
        [isHighlighted](const UITableViewCell& cell) { return cell.m_isHighlighted == isHighlighted; });
}

void UITableViewCell::drawContent(cairo_t* cr)
{
    using namespace viewdrawing;
    CGSize size = bounds().size;
    if (m_highlightOpacity > 0)
        fillRectangle(cr, { {}, size }, { 217 / 255.0, 217 / 255.0, 217 / 255.0, m_highlightOpacity });
    if (m_hasSeparator)
        fillRectangle(cr, CGRectMake(m_separatorInset, size.height - 0.5, size.width - m_separatorInset, 0.5), separatorGrey);
    if (m_isFirstInGroup)
        fillRectangle(cr, CGRectMake(0, 0, size.width, 0.5), separatorGrey);
    if (m_isLastInGroup)
        fillRectangle(cr, CGRectMake(0, size.height - 0.5, size.width, 0.5), separatorGrey);
    double right = size.width - cellInset(), middle = size.height / 2;
    if (m_accessoryView)
        return;
    if (m_accessoryType == UITableViewCellAccessoryType::Checkmark) {
        setSource(cr, components(tintColor(), systemBlue));
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, right - 14, middle);
        cairo_line_to(cr, right - 9, middle + 5);
        cairo_line_to(cr, right, middle - 6);
        cairo_stroke(cr);
    } else if (accessoryTypeWidth(m_accessoryType) > 0) {
        cairo_set_source_rgb(cr, 0.78, 0.78, 0.8);
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, right - 8, middle - 6.5);
        cairo_line_to(cr, right - 1.5, middle);
        cairo_line_to(cr, right - 8, middle + 6.5);
        cairo_stroke(cr);
    }
}

id UITableViewCell::initWithStyle(id self, SEL, long style, const std::string& reuseIdentifier)
{
    auto* cell = static_cast<UITableViewCell*>(self);
    UIView::initWithFrame(self, initWithFrameSelector(), CGRectMake(0, 0, UIScreen::mainScreen().bounds().size.width, 44));
    cell->m_style = static_cast<UITableViewCellStyle>(style);
    cell->m_reuseIdentifier = reuseIdentifier;
    return self;
}

void UITableViewCell::setAccessoryView(RefPtr<UIView> view)
{
    if (m_accessoryView)
        m_accessoryView->removeFromSuperview();
    m_accessoryView = std::move(view);
    if (m_accessoryView)
        addSubview(*m_accessoryView);
    setNeedsLayout();
}

id UITableView::initWithFrameStyle(id self, SEL, CGRect frame, long style)
{
    UIView::initWithFrame(self, initWithFrameSelector(), frame);
    auto* table = static_cast<UITableView*>(self);
    table->m_style = static_cast<UITableViewStyle>(style);
    // Opaque as on iOS, so a screen sliding over another hides it.
    table->setBackgroundColor(table->m_style == UITableViewStyle::Grouped ? UIColor::groupTableViewBackgroundColor() : UIColor::whiteColor());
    // Its rows load at its first layout.
    table->setNeedsLayout();
    return self;
}

Ref<UITableView> UITableView::create(CGRect frame, UITableViewStyle style)
{
    auto table = adoptRef(*new UITableView);
    objc_msgSend<id(CGRect, long)>(table.ptr(), selector("initWithFrame:style:"), frame, static_cast<long>(style));
    return table;
}

void UITableView::registerClass(Class cellClass, const std::string& reuseIdentifier)
{
    m_registeredClasses[reuseIdentifier] = cellClass;
}

UITableViewCell* UITableView::dequeueReusableCellWithIdentifier(const std::string& reuseIdentifier)
{
    auto& pool = m_reusableCells[reuseIdentifier];
    if (!pool.empty()) {
        Ref<UITableViewCell> cell = pool.back();
        pool.pop_back();
        cell->setHighlighted(false);
        return static_cast<UITableViewCell*>(objc_autorelease(cell.ptr()));
    }
    auto registered = m_registeredClasses.find(reuseIdentifier);
    if (registered == m_registeredClasses.end())
        return nullptr;
    RefPtr<NSObject> instance = class_createInstance(registered->second);
    id made = objc_msgSend<id(long, const std::string&)>(
        instance.get(), selector("initWithStyle:reuseIdentifier:"), static_cast<long>(UITableViewCellStyle::Default), reuseIdentifier);
    RefPtr<UITableViewCell> cell = objc_dynamicCast<UITableViewCell>(made);
    if (!cell)
        return nullptr;
    return static_cast<UITableViewCell*>(objc_autorelease(cell.get()));
}

UITableViewCell* UITableView::dequeueReusableCellWithIdentifier(const std::string& reuseIdentifier, NSIndexPath*)
{
    auto* cell = dequeueReusableCellWithIdentifier(reuseIdentifier);
    OBJC_ASSERT(cell, "a cell class is registered for the reuse identifier");
    return cell;
}

void UITableView::log(const std::string& event)
{
    if (!m_eventLog.empty())
        m_eventLog += ' ';
    m_eventLog += event;
}

void UITableView::setAside(RefPtr<UITableViewCell>& cell)
{
    if (!cell)
        return;
    cell->removeFromSuperview();
    if (!cell->reuseIdentifier().empty())
        m_reusableCells[cell->reuseIdentifier()].push_back(*cell);
    cell = nullptr;
}

void UITableView::loadRow(long section, long row)
{
    Ref<UITableView> protectedThis(*this);
    auto path = NSIndexPath::indexPathForRow(row, section);
    log("cell(" + pathText(section, row) + ")");
    RefPtr<UITableViewCell> cell;
    {
        AutoreleasePool pool;
        id made
            = objc_msgSend<id(id, id)>(m_dataSource.get(), selector("tableView:cellForRowAtIndexPath:"), static_cast<id>(this), static_cast<id>(path.ptr()));
        cell = objc_dynamicCast<UITableViewCell>(made);
    }
    OBJC_ASSERT(cell, "the data source's tableView:cellForRowAtIndexPath: gives a cell");
    CGFloat height = ask<double(id, id)>(m_delegate.get(), "tableView:heightForRowAtIndexPath:", 44.0, static_cast<id>(this), static_cast<id>(path.ptr()));
    auto& slot = m_sections[static_cast<std::size_t>(section)];
    setAside(slot.cells[static_cast<std::size_t>(row)]);
    addSubview(*cell);
    slot.cells[static_cast<std::size_t>(row)] = cell;
    slot.heights[static_cast<std::size_t>(row)] = height;
    cell->setFrame(CGRectMake(0, cell->frame().origin.y, bounds().size.width, height));
    // A reused cell has new content at its old size.
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
}

void UITableView::loadSection(long section)
{
    auto& slot = m_sections[static_cast<std::size_t>(section)];
    for (auto& cell : slot.cells)
        setAside(cell);
    removeSectionViews(slot);
    id self = this;
    slot.header = ask<std::optional<std::string>(id, long)>(m_dataSource.get(), "tableView:titleForHeaderInSection:", std::nullopt, self, section);
    slot.footer = ask<std::optional<std::string>(id, long)>(m_dataSource.get(), "tableView:titleForFooterInSection:", std::nullopt, self, section);
    slot.headerAlignment = static_cast<NSTextAlignment>(
        ask<long(id, long)>(m_delegate.get(), "tableView:titleAlignmentForHeaderInSection:", static_cast<long>(NSTextAlignment::Natural), self, section));
    slot.footerAlignment = static_cast<NSTextAlignment>(
        ask<long(id, long)>(m_delegate.get(), "tableView:titleAlignmentForFooterInSection:", static_cast<long>(NSTextAlignment::Natural), self, section));
    {
        AutoreleasePool pool;
        slot.headerView = objc_dynamicCast<UIView>(ask<id(id, long)>(m_delegate.get(), "tableView:viewForHeaderInSection:", nullptr, self, section));
    }
    // Grouped tables show header titles in capitals, in grey, over the rows,
    // and footers wrapped under them.
    auto sectionLabel = [&](const std::string& text, NSTextAlignment alignment) {
        auto label = UILabel::create(CGRectMake(0, 0, 0, 0));
        label->setText(text);
        label->setFont(UIFont::systemFontOfSize(13));
        label->setTextColor(UIColor::colorWithRed(109 / 255.0, 109 / 255.0, 114 / 255.0, 1).ptr());
        label->setTextAlignment(alignment);
        addSubview(label);
        return label;
    };
    if (slot.headerView)
        addSubview(*slot.headerView);
    else if (slot.header) {
        std::string upper = *slot.header;
        std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        slot.headerLabel = sectionLabel(upper, slot.headerAlignment).ptr();
    }
    if (slot.footer) {
        slot.footerLabel = sectionLabel(*slot.footer, slot.footerAlignment).ptr();
        slot.footerLabel->setNumberOfLines(0);
    }
    long rows = std::max(0l, ask<long(id, long)>(m_dataSource.get(), "tableView:numberOfRowsInSection:", 0l, self, section));
    slot.cells.assign(static_cast<std::size_t>(rows), nullptr);
    slot.heights.assign(static_cast<std::size_t>(rows), 44);
    for (long row = 0; row < rows; ++row)
        loadRow(section, row);
}

void UITableView::removeSectionViews(Section& slot)
{
    for (auto* view : { slot.headerView.get(), static_cast<UIView*>(slot.headerLabel.get()), static_cast<UIView*>(slot.footerLabel.get()) }) {
        if (view && view->superview() == this)
            view->removeFromSuperview();
    }
    slot.headerLabel = nullptr;
    slot.footerLabel = nullptr;
}

namespace {

// iOS 9's grouped metrics: a gap above each section, a header band (taller
// with a title), the rows, and a footer's text under them.
constexpr CGFloat sectionGap = 20;
constexpr CGFloat titledHeaderHeight = 35;
constexpr CGFloat plainHeaderHeight = 15;
constexpr CGFloat footerTop = 7;
constexpr CGFloat footerBottom = 12;
constexpr CGFloat contentBottom = 30;

}

void UITableView::layoutRows()
{
    CGFloat width = bounds().size.width, y = 0;
    for (auto& slot : m_sections) {
        y += sectionGap;
        if (slot.headerView || slot.headerLabel) {
            if (slot.headerView)
                slot.headerView->setFrame(CGRectMake(cellInset(), y, width - 2 * cellInset(), titledHeaderHeight));
            else {
                CGFloat height = slot.headerLabel->heightForWidth(width - 2 * cellInset());
                slot.headerLabel->setFrame(CGRectMake(cellInset(), y + titledHeaderHeight - 7 - height, width - 2 * cellInset(), height));
            }
            y += titledHeaderHeight;
        } else
            y += plainHeaderHeight;
        for (std::size_t row = 0; row < slot.cells.size(); ++row) {
            auto& cell = slot.cells[row];
            cell->setFrame(CGRectMake(0, y, width, slot.heights[row]));
            cell->m_hasSeparator = row + 1 < slot.cells.size();
            cell->m_isFirstInGroup = m_style == UITableViewStyle::Grouped && row == 0;
            cell->m_isLastInGroup = m_style == UITableViewStyle::Grouped && row + 1 == slot.cells.size();
            cell->layoutIfNeeded();
            y += slot.heights[row];
        }
        if (slot.footerLabel) {
            CGFloat height = slot.footerLabel->heightForWidth(width - 2 * cellInset());
            slot.footerLabel->setFrame(CGRectMake(cellInset(), y + footerTop, width - 2 * cellInset(), height));
            y += footerTop + height + footerBottom;
        }
    }
    setContentSize({ width, y + contentBottom });
    // Content that shrank leaves no offset past its end.
    setContentOffset({ contentOffset().x, std::min(contentOffset().y, maximumContentOffset().y) });
}

void UITableView::layoutSubviews(id self, SEL)
{
    // A table loads its rows the first time it is laid out, as UIKit's does.
    auto* table = static_cast<UITableView*>(self);
    if (!table->hasLoadedData())
        table->reloadData();
    else
        table->layoutRows();
}

CGRect UITableView::rectForRowAtIndexPath(long section, long row) const
{
    auto* cell = cellForRow(section, row);
    return cell ? cell->frame() : CGRect {};
}

std::optional<std::pair<long, long>> UITableView::indexPathForRowAtPoint(CGPoint point) const
{
    for (long s = 0; s < numberOfSections(); ++s) {
        for (long r = 0; r < numberOfRowsInSection(s); ++r) {
            CGRect frame = cellForRow(s, r)->frame();
            if (point.y >= frame.origin.y && point.y < frame.origin.y + frame.size.height && point.x >= frame.origin.x
                && point.x < frame.origin.x + frame.size.width)
                return std::pair(s, r);
        }
    }
    return std::nullopt;
}

void UITableView::touchesBegan(UITouch& touch)
{
    auto path = indexPathForRowAtPoint(touch.locationInView(this));
    auto* cell = path ? cellForRow(path->first, path->second) : nullptr;
    if (!cell || !cell->isUserInteractionEnabled())
        return;
    auto indexPath = NSIndexPath::indexPathForRow(path->second, path->first);
    id self = this;
    if (!ask<bool(id, id)>(m_delegate.get(), "tableView:shouldHighlightRowAtIndexPath:", true, self, static_cast<id>(indexPath.ptr())))
        return;
    cell->setHighlighted(true);
    m_heldRow = path;
}

void UITableView::touchesMoved(UITouch& touch)
{
    // A drag scrolls: the row is let go.
    if (touch.hasMovedFar())
        releaseHeldRow();
}

void UITableView::touchesEnded(UITouch& touch)
{
    if (touch.hasMovedFar()) {
        releaseHeldRow();
        return;
    }
    auto path = indexPathForRowAtPoint(touch.locationInView(this));
    if (path)
        tapRowByUser(path->first, path->second);
    releaseHeldRow();
}

void UITableView::releaseHeldRow()
{
    auto held = std::exchange(m_heldRow, std::nullopt);
    if (!held || held == m_selectedRow)
        return;
    if (auto* cell = cellForRow(held->first, held->second))
        cell->setHighlighted(false, true);
}

void UITableView::reloadData()
{
    Ref<UITableView> protectedThis(*this);
    log("reloadData");
    m_hasLoadedData = true;
    for (auto& section : m_sections) {
        for (auto& cell : section.cells)
            setAside(cell);
        removeSectionViews(section);
    }
    m_selectedRow.reset();
    long sections = m_dataSource.get() ? std::max(0l, ask<long(id)>(m_dataSource.get(), "numberOfSectionsInTableView:", 1l, static_cast<id>(this))) : 0;
    m_sections.assign(static_cast<std::size_t>(sections), Section {});
    for (long section = 0; section < sections; ++section)
        loadSection(section);
    layoutRows();
}

void UITableView::reloadRowsAtIndexPaths(const std::vector<Ref<NSIndexPath>>& paths, UITableViewRowAnimation)
{
    std::string event = "reloadRows(";
    for (std::size_t i = 0; i < paths.size(); ++i)
        event += (i ? " " : "") + pathText(paths[i]->section(), paths[i]->row());
    log(event + ")");
    for (auto& path : paths) {
        OBJC_ASSERT(path->section() >= 0 && path->section() < numberOfSections() && path->row() >= 0 && path->row() < numberOfRowsInSection(path->section()),
            "a reloaded row is in the table");
        loadRow(path->section(), path->row());
    }
    layoutRows();
}

void UITableView::reloadSections(const std::vector<long>& sections, UITableViewRowAnimation)
{
    std::string event = "reloadSections(";
    for (std::size_t i = 0; i < sections.size(); ++i)
        event += (i ? " " : "") + std::to_string(sections[i]);
    log(event + ")");
    for (long section : sections) {
        OBJC_ASSERT(section >= 0 && section < numberOfSections(), "a reloaded section is in the table");
        loadSection(section);
    }
    layoutRows();
}

void UITableView::deselectRowAtIndexPath(NSIndexPath* path, bool animated)
{
    if (!path)
        return;
    log("deselect(" + pathText(path->section(), path->row()) + (animated ? " animated)" : ")"));
    if (auto* cell = cellForRowAtIndexPath(path))
        cell->setHighlighted(false, animated);
    if (m_selectedRow == std::pair(path->section(), path->row()))
        m_selectedRow.reset();
}

const UITableView::Section* UITableView::sectionAt(long section) const
{
    return section >= 0 && section < numberOfSections() ? &m_sections[static_cast<std::size_t>(section)] : nullptr;
}

long UITableView::numberOfRowsInSection(long section) const
{
    auto* slot = sectionAt(section);
    return slot ? static_cast<long>(slot->cells.size()) : 0;
}

UITableViewCell* UITableView::cellForRow(long section, long row) const
{
    if (row < 0 || row >= numberOfRowsInSection(section))
        return nullptr;
    return m_sections[static_cast<std::size_t>(section)].cells[static_cast<std::size_t>(row)].get();
}

UITableViewCell* UITableView::cellForRowAtIndexPath(NSIndexPath* path) const
{
    return path ? cellForRow(path->section(), path->row()) : nullptr;
}

CGFloat UITableView::rowHeight(long section, long row) const
{
    if (row < 0 || row >= numberOfRowsInSection(section))
        return 0;
    return m_sections[static_cast<std::size_t>(section)].heights[static_cast<std::size_t>(row)];
}

const std::optional<std::string>& UITableView::headerTitle(long section) const
{
    static const std::optional<std::string> none;
    auto* slot = sectionAt(section);
    return slot ? slot->header : none;
}

const std::optional<std::string>& UITableView::footerTitle(long section) const
{
    static const std::optional<std::string> none;
    auto* slot = sectionAt(section);
    return slot ? slot->footer : none;
}

NSTextAlignment UITableView::headerAlignment(long section) const
{
    auto* slot = sectionAt(section);
    return slot ? slot->headerAlignment : NSTextAlignment::Natural;
}

NSTextAlignment UITableView::footerAlignment(long section) const
{
    auto* slot = sectionAt(section);
    return slot ? slot->footerAlignment : NSTextAlignment::Natural;
}

UIView* UITableView::headerView(long section) const
{
    auto* slot = sectionAt(section);
    return slot ? slot->headerView.get() : nullptr;
}

bool UITableView::tapRowByUser(long section, long row)
{
    Ref<UITableView> protectedThis(*this);
    RefPtr<UITableViewCell> cell = cellForRow(section, row);
    if (!cell || !cell->isUserInteractionEnabled())
        return false;
    auto path = NSIndexPath::indexPathForRow(row, section);
    id self = this;
    if (!ask<bool(id, id)>(m_delegate.get(), "tableView:shouldHighlightRowAtIndexPath:", true, self, static_cast<id>(path.ptr())))
        return true;
    log("highlight(" + pathText(section, row) + ")");
    cell->setHighlighted(true);
    m_selectedRow = { section, row };
    log("select(" + pathText(section, row) + ")");
    SEL didSelect = selector("tableView:didSelectRowAtIndexPath:");
    if (m_delegate.get() && m_delegate.get()->respondsToSelector(didSelect))
        objc_msgSend<void(id, id)>(m_delegate.get(), didSelect, self, static_cast<id>(path.ptr()));
    return true;
}
