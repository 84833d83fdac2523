#pragma once
// Rows of a list as plain data. A virtual list view shows a model and asks it for each cell
// it paints, so the rows exist once, here, however many there are. Window thread only.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestrova {

class ListModel {
public:
    virtual ~ListModel() = default;

    virtual size_t RowCount() const = 0;
    // Column 0 is the row's caption. The reference stays valid until the model changes.
    virtual const std::wstring& CellText(size_t row, size_t column) const = 0;
    virtual bool Checked(size_t row) const = 0;
    virtual void SetChecked(size_t row, bool checked) = 0;
    // Index into the view's small image list; -1 for none.
    virtual int Image(size_t /*row*/) const { return -1; }
    // The number a column sorts by where its text is a size, a count or a time; none: the
    // column sorts by its text.
    virtual std::optional<double> SortNumber(size_t /*row*/, size_t /*column*/) const {
        return std::nullopt;
    }

    // The indices of the checked rows, in list order.
    std::vector<size_t> CheckedRows() const;

    // The view that shows the model listens here; one listener at a time.
    void SetChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }
    // Tells the listener that rows changed: at once, or at the end of the open batch.
    void NotifyChanged();
    // The same for a change of check marks only: the rows' texts and order stay.
    void NotifyMarksChanged();
    // Changes with every change of rows (not of check marks alone), so a view knows whether
    // the order it derived from the rows still holds.
    size_t Revision() const { return revision_; }

    // Holds change notices back until the outermost batch ends, so a long run of changes
    // costs the view one update.
    class Batch {
    public:
        explicit Batch(ListModel& model) : model_(model) { ++model_.batchDepth_; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ListModel& model_;
    };

protected:
    static const std::wstring& EmptyText();

private:
    std::function<void()> listener_;
    int batchDepth_ = 0;
    bool pending_ = false;
    size_t revision_ = 0;
};

// True when a sorts before b by the user's locale, as the system compares texts for display.
bool LocaleLess(const std::wstring& a, const std::wstring& b);

struct TextRow {
    std::vector<std::wstring> cells;  // caption first, then the sub-items
    bool checked = false;
    int image = -1;
};

// Rows of text cells in the order added, or kept in ascending order of their captions with
// rows of equal captions in the order added.
class TextRows final : public ListModel {
public:
    using Less = std::function<bool(const std::wstring&, const std::wstring&)>;

    TextRows() = default;
    explicit TextRows(Less captionLess) : less_(std::move(captionLess)) {}

    size_t RowCount() const override { return rows_.size(); }
    const std::wstring& CellText(size_t row, size_t column) const override;
    bool Checked(size_t row) const override { return rows_.at(row).checked; }
    void SetChecked(size_t row, bool checked) override;
    int Image(size_t row) const override { return rows_.at(row).image; }

    const TextRow& Row(size_t row) const { return rows_.at(row); }
    // Returns the index the row went to.
    size_t Add(TextRow row);
    // Sets a cell; a new caption moves the row to its sorted place. Returns the row's index.
    size_t SetCell(size_t row, size_t column, std::wstring text);
    void Remove(size_t row);
    void Clear();
    void SetAllChecked(bool checked);
    size_t CheckedCount() const;

private:
    size_t SortedPlace(const std::wstring& caption) const;

    Less less_;
    std::vector<TextRow> rows_;
};

}  // namespace kestrova
