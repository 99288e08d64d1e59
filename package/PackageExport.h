#pragma once

// The package is built with hidden symbols; only its entry points are seen by the loader.
#define VELGRAPH_PACKAGE_EXPORT __attribute__((visibility("default")))
