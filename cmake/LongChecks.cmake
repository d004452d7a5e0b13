# The long checks of the native build: fuzzing the portable core and building the release twice.
# They are ctest tests like the others, so that scripts/test counts them and a failure shows its
# output, but each has a label (ctest -L fuzz, -L release; -LE "fuzz|release" for a quick run),
# its own time limit (the presets' 300 s would cut the release short) and runs alone: they build
# with every core, and a Wine suite beside them would only wait.

# Seconds each fuzz target searches for new inputs, after its committed corpus: a few in every
# test run; for hours, configure with -DQUILLET_FUZZ_SECONDS=14400 and run ctest -L fuzz -R pass.
set(QUILLET_FUZZ_SECONDS 25 CACHE STRING "Seconds each fuzz target searches for new inputs")

# The fuzz targets are a clang project of their own (fuzz/CMakeLists.txt), configured and built
# by the first two tests; the fuzz tests need them as a fixture.
set(fuzz_build ${CMAKE_BINARY_DIR}/fuzz)
add_test(NAME fuzz.configure
         COMMAND ${CMAKE_COMMAND} -S ${PROJECT_SOURCE_DIR}/fuzz -B ${fuzz_build}
                 -DCMAKE_CXX_COMPILER=clang++)
add_test(NAME fuzz.build COMMAND ${CMAKE_COMMAND} --build ${fuzz_build} -j2)
set_tests_properties(fuzz.configure PROPERTIES FIXTURES_SETUP fuzz_configured)
set_tests_properties(fuzz.build PROPERTIES FIXTURES_REQUIRED fuzz_configured
                                           FIXTURES_SETUP fuzz_built)
set_tests_properties(fuzz.configure fuzz.build PROPERTIES LABELS fuzz TIMEOUT 900 RUN_SERIAL ON)

foreach(target splitter number pass)
  # What the fuzzer finds stays in work/ for the next run (never committed); a failing input
  # goes to artifacts/, to be replayed with build/native/fuzz/fuzz_TARGET FILE.
  set(work ${fuzz_build}/work/${target})
  set(artifacts ${fuzz_build}/artifacts/${target})
  file(MAKE_DIRECTORY ${work} ${artifacts})
  # Inputs beyond 4 KB only slow the search; the benchmarks cover long lists and lines. Started
  # through cmake -E chdir, because the program exists only once fuzz.build has run.
  add_test(NAME fuzz.${target}
           COMMAND ${CMAKE_COMMAND} -E chdir ${fuzz_build} ${fuzz_build}/fuzz_${target}
                   -max_total_time=${QUILLET_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1
                   -artifact_prefix=${artifacts}/ ${work}
                   ${PROJECT_SOURCE_DIR}/fuzz/corpus/${target})
  math(EXPR limit "${QUILLET_FUZZ_SECONDS} + 120")
  set_tests_properties(fuzz.${target} PROPERTIES LABELS fuzz TIMEOUT ${limit} RUN_SERIAL ON
                                                 FIXTURES_REQUIRED fuzz_built)
endforeach()

# scripts/release twice, in two folders at two times, compared byte for byte: four MinGW builds.
add_test(NAME release.reproducible COMMAND ${PROJECT_SOURCE_DIR}/scripts/reproducible)
set_tests_properties(release.reproducible PROPERTIES LABELS release TIMEOUT 3600 RUN_SERIAL ON)
