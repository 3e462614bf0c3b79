// A test program of no tests: it compiles the precompiled headers every test target reuses.
