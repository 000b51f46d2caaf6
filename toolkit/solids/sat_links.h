// Cuts the links that would make a walk over the records of one text go
// round for ever: a list (faces, loops, lumps, shells, wires, attributes,
// subshells) that leads back into itself, or a coedge ring that closes on a
// coedge other than the one the walk starts from.
#pragma once
#include "toolkit/solids/acis_entity.h"

#include <memory>
#include <vector>

// Answers how many links were cut.
int breakCycles(const std::vector<std::unique_ptr<acis_Entity>>& entities);
