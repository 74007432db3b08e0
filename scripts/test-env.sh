# Environment of every test run (sourced). Sanitizer defaults are built into
# the test programs themselves (tests/support/SanitizerOptions.cpp).
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# llvmpipe compiles shaders on first use; a persistent cache keeps later runs fast.
export MESA_SHADER_CACHE_DIR="${MESA_SHADER_CACHE_DIR:-$HOME/.cache/velmo2-mesa}"
mkdir -p "$MESA_SHADER_CACHE_DIR"
