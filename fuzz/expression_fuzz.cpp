// The expression compiler and evaluator on any text: compiled over three locals, then evaluated
// with no inputs, a few inputs and through the checked path.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/expression.h"
#include "support/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    static const CStringList localNames = [] {
        CStringList names;
        names.Add("a");
        names.Add("b");
        names.Add("count");
        return names;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    CExpression expr;
    if (!expr.Compile(text, localNames))
        return 0;
    const float locals[3] = {1.5f, -2.0f, 0.0f};
    const float inputs[4] = {3.0f, 0.25f, -7.0f, 1e30f};
    expr.Evaluate(locals, inputs, 0);
    expr.Evaluate(locals, inputs, 4);
    expr.Evaluate(locals, inputs, 2);
    CExpression copy(expr);
    copy.Evaluate(locals, inputs, 4);
    return 0;
}
