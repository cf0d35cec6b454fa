#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "engine/core/properties.h"

namespace orvel {

// The property-file format: a line-oriented text of typed, named values with
// nested structs and lists. One value per line; "//" and "#" start comments;
// a brace may stand on its header's line or on a line of its own.
//
//   int lives:   3
//   pointf spawn: (1.5, -2)            # parentheses are optional
//   colour tint: 255, 128, 0, 255
//   struct engine {
//       bool enabled: yes
//   }
//   list list int grid                 // one "list" word per nesting level
//   {
//       {
//           1
//           2
//       }
//   }
//
// A byte-order mark at the start is skipped, and the end of the text ends the
// last line. Every syntax error is an ExceptionSyntax that names the line
// where reading stopped; nothing of a partly read tree is ever returned, and
// a text that is not a property file at all is an error, never an empty set.
// Braces nest at most 500 deep.

// Opens the resource through OpenResource and parses all of it. Every call
// reads and parses again; nothing is cached.
PropertiesPtr LoadPropertyFile(const std::string& name);

// Reads the stream to its end and parses the text. `name` identifies the
// text to the caller only; errors carry the line alone.
PropertiesPtr ParsePropertyStream(std::istream& stream, const std::string& name);
PropertiesPtr ParsePropertyString(const std::string& text, const std::string& name);

// Writes the set as text, each line indented by `depth` tabs. What is
// written reads back as an equal tree; a tree that the reader could not read
// back (a string holding a double quote or a line end, a name that is not a
// name, a list of mixed element types or depths, an unset list element, a
// float that is not finite, an empty struct or list pointer) is refused with
// ExceptionGeneral before anything is written.
void PrintProperties(const Properties& set, std::ostream& out, int depth);

// The elements of a list, one per line, each indented by `depth` tabs;
// refuses what PrintProperties refuses.
void PrintListElements(const AnyVector& list, std::ostream& out, int depth);

// The element-type words of a list header, each followed by a blank, taken
// from the first element that is not a list, at whatever depth: "int " for
// an empty list, "list float " for a list of lists of floats (even when its
// first inner list is empty), the empty text for an unset first element.
std::string ListHeaderTypeText(const AnyVector& list);

// Writes `depth` tab characters (none for zero or less).
void WriteIndent(std::ostream& out, int depth);

}  // namespace orvel
