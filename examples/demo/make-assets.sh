#!/usr/bin/env bash
# Regenerates the demo's binary and GBK content files under content/. The results are
# committed, so building the demo does not need this script; run it after changing it.
# Needs ImageMagick (convert), iconv and python3.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p content && cd content
mkdir -p bin doc system res reg comp/DemoRuntime

# Placeholders: the demo's "programs" are text, not real executables; the runtime only copies
# them, and registers or starts the ones whose flags ask for it (which fails harmlessly).
for f in bin/DemoSoft.exe bin/DemoCore.dll bin/DemoTray.exe system/demohelper.dll \
         system/xpfix.dll comp/DemoRuntime/demort.dll uninst.exe; do
  printf 'DemoSoft placeholder for %s: not a real program.\r\n' "$(basename "$f")" > "$f"
done

# Texts the target machine reads in its ANSI code page are stored as GBK.
gbk() { sed 's/$/\r/' | iconv -f UTF-8 -t GBK > "$1"; }
gbk res/licence.txt <<'TXT'
演示软件 最终用户许可协议

本软件仅用于演示安装程序的各项功能。您可以自由地安装、复制和卸载本软件。
本软件按“原样”提供，不附带任何明示或暗示的担保。

点击“我同意”即表示您接受本协议的全部条款。
TXT
gbk doc/readme.txt <<'TXT'
演示软件 使用说明

1. 运行“演示软件”快捷方式启动程序。
2. 配置文件 config.ini 位于安装目录，重新安装时不会被覆盖。
3. 卸载时请使用开始菜单中的“卸载“演示软件””。
TXT
gbk config.ini <<'TXT'
[Settings]
Language=中文
FirstRun=1
TXT
gbk reg/demosoft.reg <<'TXT'
REGEDIT4

[HKEY_CURRENT_USER\Software\DemoSoft\Imported]
"Source"="演示注册表脚本"
TXT
printf '[RegistryList]\r\nRegtype=Copy\r\n\r\n[SysDirList]\r\ndemort.dll=[System Directory]\\\\demort.dll\r\n' \
  > comp/DemoRuntime/DemoRuntime.ini

# The readme page's document: HTML that names its own character set.
cat > res/readme.htm <<'HTM'
<html><head><meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>演示软件</title></head>
<body style="font-family: SimSun, sans-serif; font-size: 12px">
<h3>欢迎使用演示软件</h3>
<p>这是安装向导“软件使用说明”页显示的文档。</p>
<ul><li>主程序安装在 bin 文件夹</li><li>说明文件安装在 doc 文件夹</li></ul>
</body></html>
HTM

# Pictures: the background window's, the welcome and finish pages' side picture (a bitmap),
# the pages' title picture.
convert -size 640x480 gradient:'#1d3f8f'-'#7fb2ff' -strip res/background.png
convert -size 164x314 gradient:'#ffffff'-'#3f6fcf' -type Palette -strip BMP3:res/side.bmp
convert -size 497x58 gradient:'#ffffff'-'#dde8ff' -rotate 90 -resize 497x58! -strip res/head.png

# A short quiet tone as background music (8 kHz, 8-bit mono WAV, half a second).
python3 - <<'PY'
import math, wave
with wave.open("res/music.wav", "wb") as w:
    w.setnchannels(1); w.setsampwidth(1); w.setframerate(8000)
    w.writeframes(bytes(128 + int(20 * math.sin(2 * math.pi * 440 * i / 8000)) for i in range(4000)))
PY
