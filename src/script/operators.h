// The operators of the expression language, each defined once: its text, kind, grouping level
// and result. The operator table registers them from this list, constant folding calls their
// functions through the table, and the step loop expands the same functions inline.
#pragma once

#include "script/expressionbase.h"

// X(Name, text, type, level, result of a and b), in registration order. A prefix operator gets its
// operand as a and 0.0 as b.
#define EXPRESSION_OPERATORS(X)                             \
    X(Add, "+", OT_BINARY, 2, a + b)                        \
    X(Sub, "-", OT_BINARY, 2, a - b)                        \
    X(Mul, "*", OT_BINARY, 1, a * b)                        \
    X(Div, "/", OT_BINARY, 1, a / b)                        \
    X(Neg, "neg", OT_PREFIX, 0, -a)                         \
    X(Equal, "==", OT_BINARY, 2, a == b ? 1.0f : 0.0f)      \
    X(NotEqual, "<>", OT_BINARY, 2, a != b ? 1.0f : 0.0f)   \
    X(Less, "<", OT_BINARY, 2, a < b ? 1.0f : 0.0f)         \
    X(Greater, ">", OT_BINARY, 2, a > b ? 1.0f : 0.0f)      \
    X(LessEqual, "<=", OT_BINARY, 2, a <= b ? 1.0f : 0.0f)  \
    X(GreaterEqual, ">=", OT_BINARY, 2, a >= b ? 1.0f : 0.0f)

namespace expression {

#define EXPRESSION_OPERATOR_FUNCTION(Name, text, type, level, result) \
    inline float Op##Name(float a, float b)                            \
    {                                                                  \
        (void)b;                                                       \
        return result;                                                 \
    }
EXPRESSION_OPERATORS(EXPRESSION_OPERATOR_FUNCTION)
#undef EXPRESSION_OPERATOR_FUNCTION

enum EBuiltinOperator {
#define EXPRESSION_OPERATOR_ID(Name, text, type, level, result) BO_##Name,
    EXPRESSION_OPERATORS(EXPRESSION_OPERATOR_ID)
#undef EXPRESSION_OPERATOR_ID
    BO_COUNT
};

// Which of the operators above a table record runs, or BO_COUNT for one registered elsewhere.
inline int BuiltinOperator(const TOperatorData* op)
{
    if (!op)
        return BO_COUNT;
#define EXPRESSION_OPERATOR_MATCH(Name, text, kind, level, result) \
    if (op->func == Op##Name && op->type == kind)                   \
        return BO_##Name;
    EXPRESSION_OPERATORS(EXPRESSION_OPERATOR_MATCH)
#undef EXPRESSION_OPERATOR_MATCH
    return BO_COUNT;
}

}  // namespace expression
