#pragma once

// What the library exports. It is built with symbols hidden by default, so that only its API is
// seen from outside: classes marked VELGRAPH_API are exported whole, type information included
// (dynamic_cast and catching the library's exceptions work across shared objects), and so are
// marked functions and process-wide variables, which then exist once in the process however many
// shared objects use them.
#if defined(__GNUC__) || defined(__clang__)
#define VELGRAPH_API __attribute__((visibility("default")))
#else
#define VELGRAPH_API
#endif
