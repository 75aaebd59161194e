#!/usr/bin/env bash
# Generates every picture and icon used by Zelvano from scratch with ImageMagick 6.
# Rerun at any time:  bash assets/make-assets.sh
# Needs: ImageMagick 6 (convert, identify), the DejaVu fonts, awk.
set -euo pipefail

cd "$(dirname "$(readlink -f "$0")")"

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# keep the output reproducible
export MAGICK_THREAD_LIMIT=1
# shellcheck disable=SC2054
PNGOPTS=(-strip -define png:exclude-chunk=date,time)

# ---------------------------------------------------------------------------
# helpers
# ---------------------------------------------------------------------------

# render "<mvg in a 256x256 design space>" out.png  -> 1024x1024 RGBA master
render() {
    convert -size 1024x1024 xc:none -draw "scale 4,4 stroke-linejoin round stroke-linecap round
$1" "$2"
}

# pixel out.png "c=#rrggbb ..." row1 row2 ...   -> hand-placed pixel art ('.' = transparent)
pixel() {
    local out=$1 pal=$2 w h n r p
    shift 2
    w=${#1}; h=$#; n=$(wc -w <<<"$pal")
    {
        echo '/* XPM */'
        echo 'static char *img[] = {'
        echo "\"$w $h $((n + 1)) 1\","
        echo '". c None",'
        for p in $pal; do echo "\"${p%%=*} c ${p#*=}\","; done
        for r in "$@"; do
            if [ ${#r} -ne "$w" ]; then echo "pixel: bad row '$r' for $out" >&2; exit 1; fi
            echo "\"$r\","
        done
        echo '};'
    } >"$TMP/pixel.xpm"
    convert "$TMP/pixel.xpm" "$out"
}

# icon32 master.png out.png "key colours"
# 32x32, binary alpha, at most 15 opaque colours: the key colours of the design
# are always kept, the remaining slots are filled by quantising the picture.
icon32() {
    local master=$1 out=$2 keys=$3 n c xs=() first
    n=$(wc -w <<<"$keys")
    first=${keys%% *}
    for c in $keys; do xs+=("xc:$c"); done
    convert "$master" -resize 32x32 -unsharp 0x0.6 \
        -channel A -threshold 50% +channel "$TMP/i32.png"
    convert "$TMP/i32.png" -background "$first" -alpha remove -alpha off \
        +dither -colors $((15 - n)) -unique-colors "$TMP/q.png"
    convert -size 1x1 "${xs[@]}" "$TMP/q.png" +append -unique-colors "$TMP/pal.png"
    convert "$TMP/i32.png" \( +clone -alpha off +dither -remap "$TMP/pal.png" \) \
        +swap -compose CopyOpacity -composite \
        -background "$first" -alpha background "${PNGOPTS[@]}" "$out"
}

# ico out.ico img32.png img16.png  -> 4-bit (16 colour) palette icon with mask
ico() {
    convert "$2" "$3" +dither -colors 16 "$1"
    local bits
    bits=$(identify -format '%w:%[colors] ' "$1")
    case "$bits" in
        "32:"*" 16:"*) ;;
        *) echo "unexpected icon layout for $1: $bits" >&2; exit 1 ;;
    esac
}

# ico2x out@2x.ico master.png  -> the 32 pixel image at twice the size (64
# pixels, full colour) that Qt adds on a screen scaled by 2; the 16 pixel image
# at twice its size is the 32 pixel one of the icon itself
ico2x() {
    convert "$2" -resize 64x64 "$1"
}

# jpeg out.jpg  (reads the picture from stdin as miff)
jpeg() {
    convert miff:- -strip -interlace none -sampling-factor 2x2 -quality 88 "$1"
}

# ---------------------------------------------------------------------------
# 1. main window background: turtle-shell scutes and two faint cipher dials
# ---------------------------------------------------------------------------
W=2048; H=1536
SCUTES=$(awk -v W=$W -v H=$H 'BEGIN{
  r=128; s=sqrt(3); gap=8; pi=3.14159265;
  print "stroke-linejoin round";
  for(c=-1; c*1.5*r < W+r; c++) for(q=-1; q*s*r < H+r; q++){
    cx=c*1.5*r; cy=(q+0.5*(c%2))*s*r;
    k=(c*7+q*13+70)%5;
    printf "fill rgba(255,255,255,%.3f) stroke rgba(10,48,44,0.17) stroke-width 6 polygon", 0.03+0.016*k;
    rr=r-gap;
    for(i=0;i<6;i++){a=i*pi/3; printf " %.1f,%.1f", cx+rr*cos(a), cy+rr*sin(a)}
    print "";
    for(j=1;j<=2;j++){
      rr=(r-gap)*(1-0.24*j);
      printf "fill rgba(255,255,255,0.025) stroke rgba(255,255,255,0.10) stroke-width 3 polygon";
      for(i=0;i<6;i++){a=i*pi/3; printf " %.1f,%.1f", cx+rr*cos(a), cy+rr*sin(a)}
      print "";
    }
  }}')
DIALS=$(awk -v W=$W -v H=$H 'BEGIN{
  pi=3.14159265;
  n=split("0.84 0.80 1.0|0.10 0.12 0.62", D, "|");
  for(d=1; d<=n; d++){
    split(D[d], p, " "); cx=W*p[1]; cy=H*p[2]; sc=p[3];
    r1=330*sc; r2=430*sc; r3=540*sc; r4=600*sc;
    printf "fill none stroke rgba(255,255,255,0.16) stroke-width 6 circle %.1f,%.1f %.1f,%.1f\n", cx,cy,cx+r1,cy;
    printf "fill none stroke rgba(255,255,255,0.16) stroke-width 6 circle %.1f,%.1f %.1f,%.1f\n", cx,cy,cx+r2,cy;
    printf "fill none stroke rgba(255,255,255,0.13) stroke-width 4 circle %.1f,%.1f %.1f,%.1f\n", cx,cy,cx+r3,cy;
    printf "fill none stroke rgba(255,255,255,0.10) stroke-width 14 circle %.1f,%.1f %.1f,%.1f\n", cx,cy,cx+r4,cy;
    for(i=0;i<26;i++){
      a=2*pi*i/26; b=a+pi/26;
      printf "stroke rgba(255,255,255,0.16) stroke-width 5 line %.1f,%.1f %.1f,%.1f\n", cx+r1*cos(a),cy+r1*sin(a),cx+r2*cos(a),cy+r2*sin(a);
      printf "stroke none fill rgba(255,255,255,0.14) circle %.1f,%.1f %.1f,%.1f\n", cx+(r2+r3)/2*cos(b),cy+(r2+r3)/2*sin(b),cx+(r2+r3)/2*cos(b)+11*sc,cy+(r2+r3)/2*sin(b);
    }
  }}')
convert -size ${W}x${H} -define gradient:angle=135 gradient:'#3f7f78-#143a37' \
    \( -size ${W}x${H} xc:none -draw "$SCUTES" -blur 0x2 \) -compose over -composite \
    \( -size ${W}x${H} xc:none -draw "$DIALS" -blur 0x2 \) -compose over -composite \
    \( -size ${W}x${H} radial-gradient:'rgba(255,255,255,0.0)-rgba(0,30,30,0.16)' \) -compose over -composite \
    -alpha off "$TMP/bg.miff"
# Each size also at twice the size, for scaled screens.
for s in 640:619x465:1238x930 800:760x570:1520x1140 1280:1024x768:2048x1536; do
    IFS=: read -r name one two <<<"$s"
    convert "$TMP/bg.miff" -resize "$one^" -gravity center -extent "$one" miff:- | jpeg "bg$name.jpg"
    convert "$TMP/bg.miff" -resize "$two^" -gravity center -extent "$two" miff:- | jpeg "bg$name@2x.jpg"
done

# ---------------------------------------------------------------------------
# 2. program icon: turtle seen from above, a keyhole on the golden centre scute
# ---------------------------------------------------------------------------
TURTLE_LIMBS="push graphic-context translate 52,76 rotate -35 ellipse 0,0 34,18 0,360 pop graphic-context
push graphic-context translate 204,76 rotate 35 ellipse 0,0 34,18 0,360 pop graphic-context
push graphic-context translate 60,206 rotate 40 ellipse 0,0 28,16 0,360 pop graphic-context
push graphic-context translate 196,206 rotate -40 ellipse 0,0 28,16 0,360 pop graphic-context
polygon 120,222 136,222 128,244
ellipse 128,40 25,29 0,360"
render "stroke #143a24 stroke-width 9 fill #6dbb5e
$TURTLE_LIMBS
fill #2e7d4a ellipse 128,140 86,94 0,360
stroke #1c5232 stroke-width 6 fill none
line 128,46 128,88
line 128,192 128,234
line 44,140 82,114
line 44,140 82,166
line 212,140 174,114
line 212,140 174,166
stroke #143a24 stroke-width 8 fill #f4c542
polygon 128,88 174,114 174,166 128,192 82,166 82,114
stroke none fill #1b2328
circle 128,128 128,145
polygon 120,136 136,136 142,168 114,168" "$TMP/zelvano.png"
# bolder cut of the same drawing for the tiniest size
render "stroke #143a24 stroke-width 14 fill #6dbb5e
$TURTLE_LIMBS
fill #2e7d4a ellipse 128,140 84,92 0,360
stroke #143a24 stroke-width 10 fill #f7c843
polygon 128,76 184,108 184,172 128,204 72,172 72,108
stroke none fill #151c20
circle 128,124 128,150
polygon 114,130 142,130 148,180 108,180" "$TMP/zelvano-bold.png"

mkdir -p icons
for n in 256 128 64 48; do
    sharpen=()
    [ $n -le 48 ] && sharpen=(-unsharp 0x0.5)
    convert "$TMP/zelvano.png" -resize ${n}x${n} "${sharpen[@]}" "${PNGOPTS[@]}" "PNG32:icons/zelvano-$n.png"
done

icon32 "$TMP/zelvano.png" "$TMP/z32.png" "#143a24 #1c5232 #2e7d4a #6dbb5e #f4c542 #1b2328"
pixel "$TMP/z16.png" "o=#143a24 g=#2e7d4a l=#6dbb5e y=#f4c542 k=#151c20" \
    "......oooo......" \
    ".oo..ollllo..oo." \
    "ollo.ollllo.ollo" \
    "olll""oooooooo""lllo" \
    ".oooggggggggooo." \
    "..ogggyyyygggo.." \
    ".ogggyykkyygggo." \
    ".oggyykkkkyyggo." \
    ".oggyykkkkyyggo." \
    ".oggyyykkyyyggo." \
    ".ogggykkkkygggo." \
    "..ogggyyyygggo.." \
    "olloggggggggollo" \
    "olllooggggoolllo" \
    ".ooo..oooo..ooo." \
    ".......oo......."
ico zelvano.ico "$TMP/z32.png" "$TMP/z16.png"
ico2x zelvano@2x.ico "$TMP/zelvano.png"
# The 16 and 32 pixel theme icons are the hand-placed and hand-tuned images of
# the window icon: a downscale blurs at these sizes.
convert "$TMP/z16.png" "${PNGOPTS[@]}" "PNG32:icons/zelvano-16.png"
convert "$TMP/z32.png" "${PNGOPTS[@]}" "PNG32:icons/zelvano-32.png"

# ---------------------------------------------------------------------------
# 3. resolution chooser icon: a monitor with a grid and a resize arrow
# ---------------------------------------------------------------------------
render "stroke #10161d stroke-width 10 fill #3a4656
polygon 112,190 144,190 152,222 104,222
roundrectangle 72,216 184,236 10,10
roundrectangle 10,18 246,196 20,20
stroke #10161d stroke-width 6
fill #2f8fd6 rectangle 30,38 226,176
stroke #8fcdf5 stroke-width 8 fill none
line 100,42 100,172 line 156,42 156,172 line 34,84 222,84 line 34,132 222,132
stroke #10161d stroke-width 32 fill none
line 74,146 182,86
stroke #ffd23f stroke-width 16
line 74,146 182,86
stroke #10161d stroke-width 5 fill #ffd23f
polygon 204,74 154,66 180,112
polygon 52,158 102,166 76,120" "$TMP/options.png"
icon32 "$TMP/options.png" "$TMP/o32.png" "#10161d #3a4656 #2f8fd6 #ffd23f #8fcdf5"
pixel "$TMP/o16.png" "o=#10161d f=#3a4656 b=#2f8fd6 c=#5aaaea y=#ffd23f" \
    ".oooooooooooooo." \
    "offffffffffffffo" \
    "ofccccbbyyyybbfo" \
    "ofcccbbbbbyybbfo" \
    "ofccbbbbbybybbfo" \
    "ofcbbbbbybbybbfo" \
    "ofbbybbybbbbbbfo" \
    "ofbbybybbbbbbbfo" \
    "ofbbyybbbbbbbbfo" \
    "ofbbyyyybbbbbbfo" \
    "offffffffffffffo" \
    ".oooooooooooooo." \
    "......offo......" \
    "......offo......" \
    "...offffffffo..." \
    "...oooooooooo..."
ico options.ico "$TMP/o32.png" "$TMP/o16.png"
ico2x options@2x.ico "$TMP/options.png"

# ---------------------------------------------------------------------------
# 4. author: a friendly turtle waving hello, and its face as the icon
# ---------------------------------------------------------------------------
TURTLE_FACE="stroke #143a24 stroke-width 9 fill #6dbb5e
ellipse 128,112 100,92 0,360
stroke none fill #9ad67f ellipse 128,150 64,40 0,360
fill #e99a8c ellipse 58,152 16,10 0,360 ellipse 198,152 16,10 0,360
stroke #143a24 stroke-width 6 fill white
circle 86,104 117,104
circle 170,104 201,104
stroke none fill #10161d
circle 92,108 110,108
circle 164,108 182,108
fill white circle 98,100 104,100 circle 170,100 176,100
fill #143a24 circle 118,138 122,138 circle 138,138 142,138
stroke #143a24 stroke-width 8 fill #b0303c
path 'M 88,158 Q 128,206 168,158 Z'
stroke none fill #e86a78 ellipse 128,176 16,7 0,360"
SCENE="stroke-linejoin round stroke-linecap round
stroke none fill #fff3a8 circle 560,70 560,20
fill rgba(255,243,168,0.35) circle 560,70 560,4
fill white
ellipse 120,80 50,24 0,360 ellipse 160,66 40,26 0,360 ellipse 196,84 44,20 0,360
ellipse 400,120 36,16 0,360 ellipse 428,108 30,20 0,360 ellipse 456,122 34,14 0,360
fill #8cc863 ellipse 120,520 420,150 0,360
fill #6fb04f ellipse 560,540 360,140 0,360
fill rgba(24,58,36,0.6) rectangle 0,366 640,380
fill #183a24 rectangle 0,376 640,480
push graphic-context translate 60,0 scale 0.8,0.8
fill rgba(20,60,30,0.18) ellipse 300,452 150,18 0,360
stroke #143a24 stroke-width 7 fill #6dbb5e
ellipse 240,440 40,20 0,360 ellipse 360,440 40,20 0,360
stroke #143a24 stroke-width 44 line 198,302 150,366
stroke #6dbb5e stroke-width 30 line 198,302 150,366
stroke #143a24 stroke-width 44 line 396,296 462,214
stroke #6dbb5e stroke-width 30 line 396,296 462,214
stroke #143a24 stroke-width 7 fill #6dbb5e
circle 468,202 494,202
stroke #143a24 stroke-width 7 fill #2e7d4a
ellipse 300,338 124,118 0,360
stroke none fill #4e9e62
ellipse 300,338 110,104 0,360
fill #2e7d4a
ellipse 300,344 98,108 0,360
fill #f4d06f
ellipse 300,344 90,100 0,360
stroke #c99a3a stroke-width 5 fill none
line 300,248 300,440
line 218,300 382,300
line 212,346 388,346
line 222,392 378,392
stroke #ffffff stroke-width 6 fill none
path 'M 500,150 Q 524,170 520,200'
path 'M 518,132 Q 552,160 546,206'
path 'M 432,196 Q 426,166 446,144'
stroke #143a24 stroke-width 7 fill #6dbb5e
rectangle 268,228 332,262
push graphic-context translate 185,62 scale 0.9,0.9
$TURTLE_FACE
pop graphic-context
pop graphic-context"
# The contact line of the author window lies on the bottom of the picture: the
# turtle stands above a plain dark ground that the yellow lettering reads on.
convert -size 640x480 -define gradient:angle=180 gradient:'#7cc7ef-#e6f6ff' -draw "$SCENE" \
    miff:"$TMP/author.miff"
jpeg author@2x.jpg <"$TMP/author.miff"
convert "$TMP/author.miff" -resize 320x240 miff:- | jpeg author.jpg

render "stroke #143a24 stroke-width 9 fill #2e7d4a
ellipse 128,250 124,70 180,360
fill #f4c542 stroke #143a24
ellipse 128,248 96,40 180,360
fill #6dbb5e
ellipse 128,112 100,92 0,360
stroke none fill #9ad67f ellipse 128,150 64,40 0,360
fill #e99a8c ellipse 58,152 16,10 0,360 ellipse 198,152 16,10 0,360
stroke #143a24 stroke-width 6 fill white
circle 86,104 117,104
circle 170,104 201,104
stroke none fill #10161d
circle 92,108 112,108
circle 164,108 184,108
fill white circle 97,101 103,101 circle 169,101 175,101
fill #143a24 circle 118,138 122,138 circle 138,138 142,138
stroke #143a24 stroke-width 9 fill #b0303c
path 'M 88,158 Q 128,200 168,158 Z'" "$TMP/author.png"
icon32 "$TMP/author.png" "$TMP/a32.png" "#143a24 #10161d #ffffff #6dbb5e #9ad67f #2e7d4a #f4c542 #b0303c #e99a8c"
pixel "$TMP/a16.png" "o=#143a24 l=#6dbb5e m=#9ad67f w=#ffffff k=#10161d r=#8e1f2c t=#e86a78 p=#e99a8c g=#2e7d4a y=#f4c542" \
    "....oooooooo...." \
    "..oolllllllloo.." \
    ".ollllllllllllo." \
    ".olwwllllllwwlo." \
    "olwwwwllllwwwwlo" \
    "olwwkkllllkkwwlo" \
    "olwwkkllllkkwwlo" \
    "ollwwllllllwwllo" \
    "olpplmmmmmmlpplo" \
    "ollmmrrrrrrmmllo" \
    ".olmmmrttrmmmlo." \
    "..ollmmmmmmllo.." \
    "...oooooooooo..." \
    ".oggoyyyyyyoggo." \
    "oggoyyyyyyyyoggo" \
    "oggoyyyyyyyyoggo"
ico author.ico "$TMP/a32.png" "$TMP/a16.png"
ico2x author@2x.ico "$TMP/author.png"

# ---------------------------------------------------------------------------
# 5. joke window: confetti, laughing faces and HA bubbles on a blue burst
# ---------------------------------------------------------------------------
JW=640; JH=480
# Only the top-left 250 x 118 pixels show, behind three lines of green outlined
# text: a calm dark blue with faint rays, confetti only along the top and
# bottom edges, and a small laughing face on either side of the middle line.
RAYS=$(awk 'BEGIN{pi=3.14159265; cx=125; cy=59; R=800; n=28;
  for(i=0;i<n;i+=2){a=2*pi*i/n; b=2*pi*(i+1)/n;
    printf "polygon %d,%d %.1f,%.1f %.1f,%.1f\n", cx,cy, cx+R*cos(a),cy+R*sin(a), cx+R*cos(b),cy+R*sin(b)}}')
# confetti placed by a fixed-seed Park-Miller generator (same output with any awk),
# kept off the band from 12 to 106 pixels down where the text stands
CONFETTI=$(awk 'function rnd(){ s=(s*16807)%2147483647; return s/2147483647 }
 BEGIN{s=7; split("#ff5d8f #ffd23f #7cf29c #5ee2ff #ff9f43 #c58cff #ffffff",C," ");
  for(n=0;n<46;){x=rnd()*250; y=rnd()*118; c=C[int(rnd()*7)+1]; a=rnd()*180; t=rnd();
    if(y>10 && y<108) continue; n++;
    if(t<0.6) printf "push graphic-context fill %s translate %.1f,%.1f rotate %.0f rectangle -3,-1.3 3,1.3 pop graphic-context\n", c,x,y,a;
    else printf "fill %s circle %.1f,%.1f %.1f,%.1f\n", c,x,y,x+1.6,y;
  }}')
LAUGH="stroke #6b4510 stroke-width 10 fill #ffd23f
circle 128,128 128,14
stroke none fill #fff0a0 ellipse 88,56 26,14 -30,360
stroke #3a2208 stroke-width 14 fill none
polyline 58,70 98,92 58,114
polyline 198,70 158,92 198,114
stroke #6b4510 stroke-width 9 fill #7a1a22
path 'M 52,134 L 204,134 Q 204,228 128,228 Q 52,228 52,134 Z'
stroke none fill #ffffff
polygon 60,139 196,139 192,160 64,160
fill #ff7a8a ellipse 128,206 42,20 0,360
stroke #1d5c99 stroke-width 6 fill #3aa8ff
path 'M 30,112 Q 14,144 30,158 Q 46,144 30,112 Z'
path 'M 226,112 Q 210,144 226,158 Q 242,144 226,112 Z'"
face() { # x y radius angle
    local s
    s=$(awk -v r="$3" 'BEGIN{printf "%.4f", r/114}')
    echo "push graphic-context translate $1,$2 rotate $4 scale $s,$s translate -128,-128
stroke-linejoin round stroke-linecap round
$LAUGH
pop graphic-context"
}
FACES="$(face 14 59 11 -12)
$(face 236 59 11 12)"
# joke_picture scale out.jpg
joke_picture() {
    local k=$1
    convert -size $((JW * k))x$((JH * k)) -define gradient:center=$((125 * k)),$((59 * k)) \
        -define gradient:radii=$((300 * k)),$((300 * k)) radial-gradient:'#17307a-#07123a' \
        \( -size $((JW * k))x$((JH * k)) xc:none -fill 'rgba(255,255,255,0.035)' \
        -draw "scale $k,$k $RAYS" \) -compose over -composite \
        -draw "scale $k,$k $CONFETTI" -draw "scale $k,$k $FACES" -alpha off miff:- | jpeg "$2"
}
joke_picture 1 joke.jpg
joke_picture 2 joke@2x.jpg

render "$LAUGH" "$TMP/joke.png"
icon32 "$TMP/joke.png" "$TMP/j32.png" "#6b4510 #ffd23f #fff0a0 #3a2208 #7a1a22 #ffffff #ff7a8a #3aa8ff"
pixel "$TMP/j16.png" "o=#6b4510 y=#ffd23f h=#fff0a0 k=#3a2208 r=#7a1a22 w=#ffffff t=#ff7a8a b=#3aa8ff" \
    ".....oooooo....." \
    "...ooyyyyyyoo..." \
    "..oyyhhyyyyyyo.." \
    ".oyyhyyyyyyyyyo." \
    ".oykyyyyyyyykyo." \
    "oyyykyyyyyykyyyo" \
    "oyykyyyyyyyykyyo" \
    "obyyyyyyyyyyyybo" \
    "obbyrwwwwwwrybbo" \
    "oyyyrrrrrrrryyyo" \
    ".oyyrrttttrryyo." \
    ".oyyyrttttryyyo." \
    "..oyyyrrrryyyo.." \
    "...ooyyyyyyoo..." \
    ".....oooooo....." \
    "................"
ico joke.ico "$TMP/j32.png" "$TMP/j16.png"
ico2x joke@2x.ico "$TMP/joke.png"

identify bg640.jpg bg800.jpg bg1280.jpg author.jpg joke.jpg ./*@2x.* \
    zelvano.ico options.ico author.ico joke.ico icons/zelvano-*.png
