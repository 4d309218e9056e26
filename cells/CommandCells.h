#pragma once
// The label family of the command cells of the main menu, the tool bar and
// the tree (file, view, port and model commands, the recent files, the Edit
// menu's filler, language names, and the tree's sheet openers).
#include "cells/LabelDispatch.h"

#include <span>

std::span<const LabelBehaviourEntry> CommandCellFamily();
