// The script engine's global objects, in their construction order.
#include "script/consttable.h"
#include "script/expression.h"
#include "script/expressionbase.h"
#include "script/scriptbase.h"

CConstTable g_ConstTable;
CConstTableSet g_ConstTableSet;
CExpressionPool g_ExpressionPool;
COperatorTable g_OperatorTable;
CVarTable g_VarTable;
CFunctionTable g_FunctionTable;
CSystemFuncTable g_SystemFuncTable;
CScriptLibrary g_ScriptLibrary;
