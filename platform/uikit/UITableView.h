#pragma once

// Table views asking a data source and a delegate through the runtime, as
// UIKit does, and their cells. Every row is built when the table loads its
// data (tables here are short), so cellForRowAtIndexPath answers for any row.
// The table is a scroll view: its layout places the section headers, cells
// and footers one under another in content coordinates, grouped as iOS 9
// groups them, and a touch lifted on a row selects it.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <objc/WeakReference.h>

#include "NSStringDrawing.h"
#include "UIImageView.h"
#include "UILabel.h"
#include "UIScrollView.h"

class NSIndexPath : public NSObject {
public:
    NSIndexPath() = default;
    static Class objcClass();
    static Ref<NSIndexPath> indexPathForRow(long row, long section);

    long section() const { return m_section; }
    long row() const { return m_row; }
    bool isEqual(const NSObject*) const override;
    std::size_t hash() const override;
    std::string description() const override;

private:
    long m_section { 0 };
    long m_row { 0 };
};

enum class UITableViewStyle : long { Plain = 0, Grouped = 1 };
enum class UITableViewRowAnimation : long { Fade = 0, Right = 1, Left = 2, Top = 3, Bottom = 4, None = 5, Middle = 6, Automatic = 100 };
enum class UITableViewCellStyle : long { Default = 0, Value1 = 1, Value2 = 2, Subtitle = 3 };
enum class UITableViewCellAccessoryType : long { None = 0, DisclosureIndicator = 1, DetailDisclosureButton = 2, Checkmark = 3 };

class UITableViewCell : public UIView {
public:
    UITableViewCell();
    static Class objcClass();

    UIView* contentView() const { return m_contentView.ptr(); }
    UILabel* textLabel() const { return m_textLabel.ptr(); }
    UILabel* detailTextLabel() const { return m_detailTextLabel.ptr(); }
    UIImageView* imageView() const { return m_imageView.ptr(); }
    UIView* accessoryView() const { return m_accessoryView.get(); }
    void setAccessoryView(RefPtr<UIView>);
    UITableViewCellAccessoryType accessoryType() const { return m_accessoryType; }
    void setAccessoryType(UITableViewCellAccessoryType type)
    {
        if (type != m_accessoryType)
            setNeedsLayout();
        m_accessoryType = type;
    }
    UITableViewCellStyle style() const { return m_style; }
    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }
    bool isHighlighted() const { return m_isHighlighted; }
    void setHighlighted(bool isHighlighted) { setHighlighted(isHighlighted, false); }
    // setHighlighted:animated: iOS's grey fades out over 0.3 s when it goes.
    void setHighlighted(bool, bool animated);
    // Where the separator under the cell starts: the text's inset.
    CGFloat separatorInset() const { return m_separatorInset; }

    // UITableViewCell's own -initWithStyle:reuseIdentifier:, for subclasses.
    static id initWithStyle(id, SEL, long style, const std::string& reuseIdentifier);
    // And its -layoutSubviews: the image, the text and the accessory placed
    // across the cell, a value label held clear of the text.
    static void layoutSubviews(id, SEL);

    void drawContent(cairo_t*) override;

private:
    friend class UITableView;

    Ref<UIView> m_contentView;
    Ref<UILabel> m_textLabel;
    Ref<UILabel> m_detailTextLabel;
    Ref<UIImageView> m_imageView;
    RefPtr<UIView> m_accessoryView;
    UITableViewCellAccessoryType m_accessoryType { UITableViewCellAccessoryType::None };
    UITableViewCellStyle m_style { UITableViewCellStyle::Default };
    std::string m_reuseIdentifier;
    bool m_isHighlighted { false };
    double m_highlightOpacity { 0 };
    bool m_hasSeparator { false };
    // A grouped section's first and last rows carry its full-width hairlines.
    bool m_isFirstInGroup { false };
    bool m_isLastInGroup { false };
    CGFloat m_separatorInset { 15 };
};

class UITableView : public UIScrollView {
public:
    UITableView() = default;
    static Class objcClass();
    // -initWithFrame:style: through the runtime.
    static Ref<UITableView> create(CGRect frame, UITableViewStyle);

    UITableViewStyle style() const { return m_style; }
    // Neither is retained; both are weak, so a freed one is never asked.
    id dataSource() const { return m_dataSource.get(); }
    void setDataSource(id dataSource) { m_dataSource = dataSource; }
    id delegate() const { return m_delegate.get(); }
    void setDelegate(id delegate) { m_delegate = delegate; }

    void registerClass(Class cellClass, const std::string& reuseIdentifier);
    // A cell set aside by a reload, else a new one of the registered class,
    // else none. The cell is autoreleased, for a data source to hand back.
    UITableViewCell* dequeueReusableCellWithIdentifier(const std::string& reuseIdentifier);
    // The same, for an identifier that must have been registered.
    UITableViewCell* dequeueReusableCellWithIdentifier(const std::string& reuseIdentifier, NSIndexPath*);

    // Asks the data source and the delegate for everything again.
    void reloadData();
    bool hasLoadedData() const { return m_hasLoadedData; }
    void reloadRowsAtIndexPaths(const std::vector<Ref<NSIndexPath>>&, UITableViewRowAnimation);
    void reloadSections(const std::vector<long>& sections, UITableViewRowAnimation);
    void deselectRowAtIndexPath(NSIndexPath*, bool animated);
    std::optional<std::pair<long, long>> indexPathForSelectedRow() const { return m_selectedRow; }

    long numberOfSections() const { return static_cast<long>(m_sections.size()); }
    long numberOfRowsInSection(long section) const;
    // The row's cell; none for a row the table does not have.
    UITableViewCell* cellForRowAtIndexPath(NSIndexPath*) const;
    UITableViewCell* cellForRow(long section, long row) const;
    CGFloat rowHeight(long section, long row) const;
    const std::optional<std::string>& headerTitle(long section) const;
    const std::optional<std::string>& footerTitle(long section) const;
    NSTextAlignment headerAlignment(long section) const;
    NSTextAlignment footerAlignment(long section) const;
    UIView* headerView(long section) const;
    // The row's rectangle in the table's content coordinates (empty for a row
    // the table does not have); the cell's frame once laid out.
    CGRect rectForRowAtIndexPath(long section, long row) const;
    // The row whose cell holds the point (in content coordinates).
    std::optional<std::pair<long, long>> indexPathForRowAtPoint(CGPoint) const;

    // A finger lifted on a row: nothing for a row that takes no touches;
    // otherwise the delegate may refuse the highlight, and the row is
    // selected and the delegate told. Answers whether the row took the touch.
    bool tapRowByUser(long section, long row);

    // A finger on a row greys it while held (if the delegate lets it); lifted,
    // it taps the row, unless it dragged.
    void touchesBegan(UITouch&) override;
    void touchesMoved(UITouch&) override;
    void touchesEnded(UITouch&) override;
    void touchesCancelled(UITouch&) override { releaseHeldRow(); }

    // What the table did, in order: "cell(1:0)" for each row built,
    // "highlight(1:0)", "select(1:0)", "deselect(1:0 animated)",
    // "reloadRows(0:1 1:0)", "reloadSections(0)", "reloadData".
    const std::string& eventLogForTesting() const { return m_eventLog; }
    void clearEventLogForTesting() { m_eventLog.clear(); }

    static id initWithFrameStyle(id, SEL, CGRect, long style);
    static void layoutSubviews(id, SEL);

private:
    // The held row loses its grey, unless it was selected meanwhile.
    void releaseHeldRow();
    struct Section {
        std::optional<std::string> header;
        std::optional<std::string> footer;
        NSTextAlignment headerAlignment { NSTextAlignment::Natural };
        NSTextAlignment footerAlignment { NSTextAlignment::Natural };
        RefPtr<UIView> headerView;
        RefPtr<UILabel> headerLabel;
        RefPtr<UILabel> footerLabel;
        std::vector<RefPtr<UITableViewCell>> cells;
        std::vector<CGFloat> heights;
    };

    const Section* sectionAt(long section) const;
    void loadSection(long section);
    void loadRow(long section, long row);
    void setAside(RefPtr<UITableViewCell>&);
    void removeSectionViews(Section&);
    // Places every header, cell and footer, and sizes the content.
    void layoutRows();
    void log(const std::string& event);

    UITableViewStyle m_style { UITableViewStyle::Plain };
    WeakObjCPtr<> m_dataSource;
    WeakObjCPtr<> m_delegate;
    std::map<std::string, Class> m_registeredClasses;
    std::map<std::string, std::vector<Ref<UITableViewCell>>> m_reusableCells;
    std::vector<Section> m_sections;
    std::optional<std::pair<long, long>> m_selectedRow;
    std::optional<std::pair<long, long>> m_heldRow; // greyed under a finger not yet lifted
    std::string m_eventLog;
    bool m_hasLoadedData { false };
};
