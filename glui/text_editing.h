// What keys do to an edit field's text, caret and selection, apart from any
// drawing: the field applies these to its own members, then scrolls and
// redraws. The caret only ever stands between Shift-JIS characters.
#pragma once

#include <cstddef>
#include <string>

struct TextEditing {
    std::string& text;
    int& caret;      // byte offset of a character start, 0 .. text size
    int& selStart;   // selection anchor
    int& selEnd;     // moving end; equal to selStart: no selection
};

// By one character, to the next word break, to either end, or nowhere (which
// only drops a selection).
enum class CaretMove { Left, Right, WordLeft, WordRight, Home, End, Stay };
constexpr int CaretMoveCount = 7;

int selectionLow(const TextEditing& t);
int selectionHigh(const TextEditing& t);
bool hasSelection(const TextEditing& t);

// Start of the character before byte pos, and the end of the one at pos.
int charStartBefore(const std::string& text, int pos);
int charEndAfter(const std::string& text, int pos);

// The longest leading part of text that holds at most maxBytes bytes and
// does not cut a double-byte character in two.
std::string fittingText(const std::string& text, std::size_t maxBytes);

void placeCaretAt(TextEditing t, int pos, bool extend);
void selectAllText(TextEditing t);

// Types key over the selection. Refused (false, nothing changes) when the
// field's type does not take the key or the text would grow past maxBytes.
bool typeKey(TextEditing t, int dataType, std::size_t maxBytes, unsigned char key);

// Removes the bytes from..to and leaves the caret at from.
void deleteText(TextEditing t, int from, int to);
// The selection if there is one, otherwise from the caret to `to`.
void deleteSelectionOr(TextEditing t, int to);
// Backspace and Delete: the selection, else one whole character.
void deleteBackward(TextEditing t);
void deleteForward(TextEditing t);

// Past any word breaks after pos, then past the word beyond them.
int wordEndAfter(const std::string& text, int pos);

// Where a move puts the caret; without extend a move by one character first
// collapses a selection to the side it points to.
int caretTarget(const TextEditing& t, CaretMove move, bool extend);
