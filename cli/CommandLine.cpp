#include "cli/CommandLine.h"

#include <string_view>

#include "cli/SettingsOptions.h"

namespace tarnwell::cli {
namespace {

// "--word" that is no option is a typing error rather than a value: no
// coordinate or path a surveyor passes begins with two dashes and a letter.
bool LooksLikeOption(std::string_view argument) {
  return argument.size() > 2 && argument.substr(0, 2) == "--" &&
         ((argument[2] >= 'a' && argument[2] <= 'z') || (argument[2] >= 'A' && argument[2] <= 'Z'));
}

}  // namespace

bool ParseCommandLine(int argc, const char* const argv[], CommandLine& line, std::string& error) {
  if (argc < 2) {
    error = "缺少命令";
    return false;
  }
  line.command = argv[1];
  bool optionsEnded = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (optionsEnded) {
      line.values.emplace_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (IsFlag(argument)) {
      line.flags.emplace_back(argument);
    } else if (TakesValue(argument)) {
      if (i + 1 >= argc) {
        error = "选项 " + std::string(argument) + " 缺少取值";
        return false;
      }
      line.options.emplace_back(argument, argv[++i]);
    } else if (LooksLikeOption(argument)) {
      error = "未知选项 " + std::string(argument);
      return false;
    } else {
      line.values.emplace_back(argument);
    }
  }
  return true;
}

const char* UsageText() {
  return
      "用法:\n"
      "  tarnwell-cli point [SETTINGS] V1 V2 V3          转换一个点，输出 W1,W2,W3\n"
      "  tarnwell-cli file [SETTINGS] INPUT...           转换坐标文件，各写入 INPUT1，输出其路径; INPUT 为文件夹时\n"
      "                                                  转换其中的 .csv .txt .dat 文件;\n"
      "                                                  一个文件失败不影响其余文件, 任一失败则退出状态为 1\n"
      "  tarnwell-cli three [SETTINGS] B L h B2 L2 h2    计算三参数 (从源椭球到目的椭球)\n"
      "  tarnwell-cli seven [SETTINGS] [--datum-model full|fixed-scale] [--report FILE] FILE...\n"
      "                                                  导入公共点文件，计算七参数 (fixed-scale: 固定尺度\n"
      "                                                  的六参数) 及残差报告 (从源椭球到目的椭球)\n"
      "  tarnwell-cli four [--height-fit constant|plane|quadratic|auto] [--plane-model full|fixed-scale|shift]\n"
      "                    [--report FILE] FILE...\n"
      "                                                  导入平面公共点文件 (点名,x,y,h,x2,y2,h2)，\n"
      "                                                  计算四参数 (fixed-scale: 平移和旋转; shift: 单点校正)、\n"
      "                                                  高程拟合及残差报告\n"
      "  tarnwell-cli height [--geoid MODEL] [--from-angle F] [--height-fit auto|constant|plane|quadratic]\n"
      "                    [--report FILE] FILE...\n"
      "                                                  导入水准点文件 (点名,B,L,大地高h,正常高H)，拟合高程异常\n"
      "                                                  残差 r = h - H - N (无模型时 r = h - H)，输出\n"
      "                                                  高程拟合,B0,L0,x0,y0,系数... 及每点残差 (米);\n"
      "                                                  auto: 1-2 点常数, 3-5 点平面, 6 点以上二次曲面\n"
      "  tarnwell-cli ellipsoids                         列出椭球 (名称,a,1/f,描述)\n"
      "  tarnwell-cli projections                        列出投影 (序号,支持/不支持,关键字,描述)\n"
      "SETTINGS:\n"
      "  --params FILE                 先读入保存的参数文件 (椭球、投影、七参数、四参数、高程拟合、\n"
      "                                高程模型、高程异常拟合),\n"
      "                                其后的选项可覆盖其中的设置\n"
      "  --from Space|LB|Plan          --to Space|LB|Plan\n"
      "  --from-angle DMS|DDD|DMM      --to-angle DMS|DDD|DMM\n"
      "  --from-ellipsoid NAME         --to-ellipsoid NAME\n"
      "  --seven dX,dY,dZ,rX,rY,rZ,ppm 七参数, 从 --from-ellipsoid 到 --to-ellipsoid (启用七参数转换)\n"
      "  --seven-inverse dX,dY,dZ,rX,rY,rZ,ppm\n"
      "                                七参数, 从 --to-ellipsoid 到 --from-ellipsoid; 转换用其精确逆变换\n"
      "                                (启用七参数转换)\n"
      "  --convention coordinate-frame|position-vector\n"
      "                                七参数: 线性化布尔莎-沃尔夫模型 (Bursa-Wolf, linearised);\n"
      "                                旋转约定 coordinate-frame (默认) 或 position-vector\n"
      "                                (平移: 米, 旋转: 秒, 尺度: ppm)\n"
      "  --four dX,dY,rot,ppm          (启用四参数: 平面坐标在投影之后再作四参数转换;\n"
      "                                作用于不含带号前缀的东坐标, 带号只是标记, 不参与旋转)\n"
      "  --projection KEY              projs.csv 中支持的投影及其默认参数\n"
      "  --lon0 T --k T --x0 T --y0 T --lat0 T --lat1 T --lat2 T\n"
      "                                投影参数 (中央子午线,比例因子,东/北坐标常数,基准纬度,纬度线1/2)\n"
      "  --plane-height H              投影面高程 (米): 在长半轴为 a+H 的椭球上投影\n"
      "  --zone-width 3|6              高斯-克吕格 3°/6° 分带 (tmerc, etmerc)\n"
      "  --zone N                      带号; 缺省时取 --lon0 或中央子午线所在的带 (utm: 1-60, 默认 50)\n"
      "  --zone-prefix                 东坐标加带号前缀 (带号×1000000+东坐标), 反算时由前缀定带\n"
      "  --auto-zone                   每点取所在的带 (含 --zone-prefix)\n"
      "  --south                       utm 南半球\n"
      "                                以上投影选项说明目的坐标的投影 (或唯一的 Plan 一侧的投影)\n"
      "  --from-projection KEY --from-lon0 T --from-k T --from-x0 T --from-y0 T\n"
      "  --from-lat0 T --from-lat1 T --from-lat2 T --from-plane-height H\n"
      "  --from-zone-width 3|6 --from-zone N --from-zone-prefix --from-auto-zone --from-south\n"
      "                                源坐标自己的投影 (换带, 如 Plan 到 Plan): 从 --from-projection\n"
      "                                (缺省 tmerc) 的默认参数开始, 与目的投影无关;\n"
      "                                不给任何 --from- 投影选项时两侧用同一投影\n"
      "  --from-height ellipsoidal|normal --to-height ellipsoidal|normal\n"
      "                                LB 与 Plan 一侧的高程: 大地高 h (默认) 或正常高 H = h - N - r\n"
      "  --geoid egm96|FILE            高程模型 N: egm96 (PROJ 数据目录中的 egm96_15.gtx) 或格网文件\n"
      "                                (GTX, GeoTIFF, ISG, ESRI ASCII), 双线性内插 (同 PROJ)\n"
      "  --anomaly-fit B0,L0,x0,y0,a0[,a1,a2[,a3,a4,a5]]\n"
      "                                高程异常拟合 r (height 命令输出的 高程拟合 行), 用于正常高\n"
      "  --format n,b,l,h|n,x,y,h|n,X,Y,Z\n"
      "                                固定的文件格式 (点名与三个坐标, 逗号分隔)\n"
      "  --columns WORDS               自定义列, 如 name,code,y,x,h: name 点名 (可省), code 或 extra\n"
      "                                原样保留的列, 坐标列 b,l,h (LB) x,y,h (Plan, x 北 y 东) X,Y,Z (Space)\n"
      "  --separator comma|tab|blank|semicolon\n"
      "                                自定义列的分隔符 (blank: 一个或多个空格)\n"
      "  --header N|auto               自定义列: 文件头行数, auto 为首行不是坐标时作为文件头;\n"
      "                                文件头与 # 注释行原样写入输出\n"
      "  --layout cass|n,b,l,h|n,x,y,h|n,X,Y,Z\n"
      "                                预设格式: cass 为 CASS .dat (点名,编码,Y 东,X 北,H)\n"
      "  --output-layout input|csv     输出格式: 与输入相同 (默认), 或 CSV (逗号分隔, 首行为列名,\n"
      "                                文件名以 .csv 结尾: 默认为 INPUT 去掉扩展名加 1.csv)\n"
      "  --tables DIR                  从 DIR 读取 ellips.csv 和 projs.csv\n"
      "  --threads N                   文件转换使用的线程数 (默认: 全部核心)\n"
      "  --output PATH                 文件转换的输出文件, 或输出到已有的文件夹 (同名文件);\n"
      "                                默认为 INPUT1\n"
      "  --export dxf|kml|geojson|shp|gpkg\n"
      "                                文件转换结果经 GDAL 导出 (代替文本文件): 点名与高程为属性 (DXF 为文字),\n"
      "                                带目的坐标系 (EPSG 代码或 WKT); kml 总是 WGS84 经纬度 (目的椭球须为 WGS84)\n"
      "  --bad-lines stop|report       坏行: 停止转换 (默认), 或跳过并写入报告 OUTPUT.bad.txt\n"
      "                                (行号、原因、原文)\n"
      "  --decimals N                  输出小数位数 0-15, 也用于角度 (默认: 15)\n"
      "  --angle-decimals N            角度最后一节(秒、分或度)的小数位数 0-15 (默认: 15)\n"
      "  --factors                     平面一侧的 子午线收敛角γ (度),点比例因子k,高程因子 (R+H)/(R+h),\n"
      "                                综合因子 k×(R+H)/(R+h),长度变形 (毫米/千米); R=√(MN) 为平均曲率半径,\n"
      "                                H 为投影面高程. point: 第二行输出; file: 每行末尾加五列\n"
      "  --report FILE                 seven、four 和 height 另写计算报告, 格式按文件名结尾: .html、.pdf 或 .csv\n"
      "  --tolerance-h M --tolerance-v M\n"
      "                                残差限差 (米, 默认平面 0.02, 高程 0.03), 超限的点在残差行末标 \"超限\"\n"
      "  --                            其后的参数都是取值\n"
      "退出状态: 0 成功, 1 转换或计算未完成, 2 命令行错误\n";
}

}  // namespace tarnwell::cli
