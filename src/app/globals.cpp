// Every global object of the program, defined in this one translation unit so that they are
// built in this order before the entry function runs and destroyed in the reverse order after
// it returns. The plain pointers start null and depend on nothing.
#include <string>

#include "bindings/gameframe.h"
#include "foundation/debuglink.h"
#include "foundation/device.h"
#include "foundation/stringutil.h"
#include "media/font.h"
#include "media/object3d.h"
#include "media/sound.h"
#include "media/texture.h"
#include "script/consttable.h"
#include "script/expression.h"
#include "script/expressionbase.h"
#include "script/scriptbase.h"
#include "ui/keytable.h"
#include "ui/uimanager.h"
#include "world/animation.h"
#include "world/heightblock.h"
#include "world/scene.h"
#include "world/unitdata.h"

IDirect3DDevice9* g_pDevice = nullptr;
CDebugLink* g_pDebugLink = nullptr;
CTextureManager* g_pTextureManager = nullptr;

CGameFrame g_GameFrame;
FontManager g_FontManager;
UIManager g_UIManager;
CScene g_Scene;
std::string g_RootFolder;
std::string g_CurrentFolder;
CConstTable g_ConstTable;
CConstTableSet g_ConstTableSet;
CExpressionPool g_ExpressionPool;
COperatorTable g_OperatorTable;
CVarTable g_VarTable;
CFunctionTable g_FunctionTable;
CSystemFuncTable g_SystemFuncTable;
CScriptLibrary g_ScriptLibrary;
D3DXVECTOR3 g_vBillboardH;
D3DXVECTOR3 g_vBillboardV;
SoundManager g_SoundManager;
Object3DList g_Object3DList;
UnitDataManager g_UnitDataManager;
HeightBlockManager g_HeightBlockManager;
CKeyTable g_KeyTable;
