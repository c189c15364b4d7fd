#include "editor/history.h"

#include <deque>
#include <vector>

#include "editor/keys.h"
#include "editor/state.h"

namespace {

struct Header {
    uint8_t width, height, keyColour;
    int32_t originX, originY;
    bool operator==(const Header&) const = default;
};

struct CellChange {
    uint8_t x, y, before, after;
};

// A fill or replace changes many cells from one value to one value: those steps keep a bit per
// cell of the grid instead (8 KiB, against 4 bytes a cell), so a history of large fills stays small.
enum : size_t { MaskBytes = DocumentGrid * DocumentGrid / 8, MaskCells = MaskBytes / sizeof(CellChange) };

struct Step {
    StepKind kind = StepKind::Cells;
    Header before{}, after{};
    std::vector<CellChange> cells;
    std::vector<uint8_t> mask;  // bit y * 256 + x: the cell went from maskBefore to maskAfter
    uint8_t maskBefore = 0, maskAfter = 0;
};

}  // namespace

static std::deque<Step> steps;
static size_t done = 0;  // steps[0..done) are applied; the rest can be redone

static bool open = false;
static bool openIsStroke = false;
static Step pending;
// Cells already in the pending step: their first old value is the one to keep.
static uint8_t noted[DocumentGrid][DocumentGrid];

static Header CurrentHeader()
{
    return {Document.width, Document.height, Document.keyColour, Document.originX, Document.originY};
}

static void SetHeader(const Header& h)
{
    Document.width = h.width;
    Document.height = h.height;
    Document.keyColour = h.keyColour;
    Document.originX = h.originX;
    Document.originY = h.originY;
}

static void Push(Step&& step)
{
    steps.erase(steps.begin() + std::ptrdiff_t(done), steps.end());
    steps.push_back(std::move(step));
    if (steps.size() > size_t(HistoryLimit))
        steps.pop_front();
    done = steps.size();
}

static void CloseStep()
{
    if (!open)
        return;
    open = false;
    std::vector<CellChange> changed;
    for (CellChange c : pending.cells) {
        noted[c.y][c.x] = 0;
        c.after = Document.cells[c.y][c.x];
        if (c.after != c.before)
            changed.push_back(c);
    }
    pending.after = CurrentHeader();
    if (changed.empty() && pending.after == pending.before)
        return;  // nothing changed: the redo steps stay
    bool uniform = changed.size() > MaskCells;
    for (const CellChange& c : changed)
        uniform = uniform && c.before == changed[0].before && c.after == changed[0].after;
    if (uniform) {
        pending.mask.assign(MaskBytes, 0);
        pending.maskBefore = changed[0].before;
        pending.maskAfter = changed[0].after;
        for (const CellChange& c : changed)
            pending.mask[(c.y * DocumentGrid + c.x) / 8] |= uint8_t(1 << (c.x % 8));
        changed.clear();
    }
    changed.shrink_to_fit();
    pending.cells = std::move(changed);
    Push(std::move(pending));
    pending = Step();
}

void BeginChange(bool paint)
{
    if (open && paint && openIsStroke)
        return;
    CloseStep();
    open = true;
    openIsStroke = paint;
    pending = Step();
    pending.before = CurrentHeader();
}

void NoteCell(int32_t x, int32_t y)
{
    if (!open || noted[y][x])
        return;
    noted[y][x] = 1;
    uint8_t v = Document.cells[y][x];
    pending.cells.push_back({uint8_t(x), uint8_t(y), v, v});
}

void RecordMirror(StepKind kind)
{
    CloseStep();
    Step step;
    step.kind = kind;
    step.before = step.after = CurrentHeader();
    Push(std::move(step));
}

void EndFrameChanges(bool strokeGoesOn)
{
    if (open && openIsStroke && strokeGoesOn)
        return;
    CloseStep();
}

static void SetMaskedCells(const Step& step, uint8_t value)
{
    for (size_t i = 0; i < step.mask.size(); ++i)
        if (step.mask[i])
            for (int bit = 0; bit < 8; ++bit)
                if (step.mask[i] >> bit & 1)
                    Document.cells[i * 8 / DocumentGrid][i * 8 % DocumentGrid + size_t(bit)] = value;
}

static void Mirror(StepKind kind)
{
    if (kind == StepKind::MirrorLeftRight)
        MirrorLeftRight();
    else
        MirrorTopBottom();
}

// Puts the document in the state before (undo) or after (redo) the step.
static void ApplyStep(const Step& step, bool forward)
{
    if (step.kind != StepKind::Cells)
        Mirror(step.kind);
    for (const CellChange& c : step.cells)
        Document.cells[c.y][c.x] = forward ? c.after : c.before;
    SetMaskedCells(step, forward ? step.maskAfter : step.maskBefore);
    SetHeader(forward ? step.after : step.before);
}

bool Undo()
{
    CloseStep();
    if (done == 0)
        return false;
    ApplyStep(steps[--done], false);
    return true;
}

bool Redo()
{
    CloseStep();
    if (done == steps.size())
        return false;
    ApplyStep(steps[done++], true);
    return true;
}

size_t UndoSteps()
{
    return done;
}

size_t RedoSteps()
{
    return steps.size() - done;
}

// What an allocation of n bytes takes from the heap: glibc rounds to 16 with 8 bytes of its own.
static size_t HeapBlock(size_t n)
{
    return n == 0 ? 0 : (n + 8 + 15) / 16 * 16;
}

size_t HistoryBytes()
{
    // The deque's blocks hold the steps themselves; each step's cells are one allocation.
    size_t bytes = HeapBlock(steps.size() * sizeof(Step));
    for (const Step& step : steps)
        bytes += HeapBlock(step.cells.capacity() * sizeof(CellChange)) + HeapBlock(step.mask.capacity());
    return bytes;
}

void ResetHistory()
{
    if (open)
        for (const CellChange& c : pending.cells)
            noted[c.y][c.x] = 0;
    open = false;
    pending = Step();
    steps.clear();
    done = 0;
}
