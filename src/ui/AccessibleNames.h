#pragma once

class QWidget;

// Names for assistive technology, from what a sighted user reads next to each control. Every
// group box is named by its own title (Qt would name an inner group after the outer one), and
// every input (edit, list, grid, gauge, check box) by the label on its left, else the label
// above or below it, else its group's title (with the caption of a button right under it), else
// keeps the name its window gives it. Where two inputs of `window` would then read the
// same, the group's title is added, and then their place in reading order. An untitled group
// keeps the accessible name its window gives it, or else takes the window's title. Called after the
// captions, so the names follow a language change.
void nameForAssistiveTech(QWidget* window);
