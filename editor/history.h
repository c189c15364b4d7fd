// Undo and redo: the changes of the document, step by step, for the whole run.
//
// A step keeps only what changed: the header before and after, and the cells that changed with
// their values before and after (a mirror keeps none, since mirroring again undoes it). The
// editing actions report a change before they make it; the frame loop closes the step.
#pragma once

#include <cstddef>
#include <cstdint>

enum : int { HistoryLimit = 1000 };  // steps kept; older ones are dropped

enum class StepKind : uint8_t { Cells, MirrorLeftRight, MirrorTopBottom };

// Before an action changes the header or cells: starts a step of its own (closing the step
// before it), or, for a paint, joins the stroke that the held Space is painting.
void BeginChange(bool paint = false);
// Before a cell of the open step is written: keeps its old value (once per step).
void NoteCell(int32_t x, int32_t y);
// A mirror that changed the sprite: a step of its own, with no cells.
void RecordMirror(StepKind kind);

// Called after the frame's normalisation: the open step becomes a step of the history, unless
// it is a stroke that goes on (strokeGoesOn: Space still held). A step that changed nothing is
// dropped and keeps the redo steps.
void EndFrameChanges(bool strokeGoesOn);

// Closes any open step, then takes the last step back (or replays the next one). False when
// there is none.
bool Undo();
bool Redo();

size_t UndoSteps();
size_t RedoSteps();
// Memory held by the history's steps, with each allocation's bookkeeping counted.
size_t HistoryBytes();

// Forgets every step (a fresh run).
void ResetHistory();
