// Where a value of a table comes from: fixed by the design, or worked out
// from given ones (the table says by which rule).
#pragma once

enum class Origin : unsigned char { Given, Derived };
