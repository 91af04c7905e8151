# bash completion for vellora-cli: steps, options, fields and their values
_vellora_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  local fields="screenWidth= screenHeight= windowRect= windowWidth= windowHeight= saveHiddenMenu= saveCrop= saveResize= saveRotate= saveColor= saveGray= saveBlackWhite= saveInvert= savePoster= saveHistogram= saveSmoothing= saveEdgePreserving= saveSharpening= saveEdgeDetect= saveDeNoise= saveUserFilter= saveTiling= saveBitsPerPixel= saveQuality= saveDepthIndex= evenDivisions= rotateAngle= rotateBicubic= rotateDepthIndex= rotateBlankIndex= cropRect= cropLeft= cropBottom= cropRight= cropTop= resizeWidth= resizeHeight= resizeInterpolate= resizeDepthIndex= colorDiffusion= colorMethod= colorChoice= userPalettePath= grayDiffusion= grayLevelIndex= bwDiffusion= bwMedianCut= bwThreshold= bwStretch= bwOutset= bwEndset= invertDepthIndex= posterCommon= posterLevelRGB= posterLevelRed= posterLevelGreen= posterLevelBlue= histEnabled= histOutset= histEndset= smoothingIndex= edgePreservingIndex= sharpeningIndex= edgeDetectMode= edgeDetectChoice= deNoiseIndex= userFilterValue= userFilterSizeIndex= userFilterMask= tilingConvert= tilingPaletteClass= tilingMedianIndex= tilingEvenIndex= tilingSizeMethod= tileCountHigh= tilePixelHeight= tileCountWide= tilePixelWidth= slitPixelWidth= hSlitGrayIndex= vSlitGrayIndex="
  [[ $prev == = ]] && return # a field's value: any number
  case $prev in
    --par) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    --set) COMPREPLY=($(compgen -W "$fields" -- "$cur")); compopt -o nospace 2>/dev/null; return ;;
    --colors) COMPREPLY=($(compgen -W "2 4 8 16 32 64 128 256" -- "$cur")); return ;;
    --tile) return ;;
    --grout) return ;;
    --grout-gray) COMPREPLY=($(compgen -W "white light-gray little-gray medium-gray deep-gray black" -- "$cur")); return ;;
    --table) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    --csv) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    -o) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    --tiles) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    --tile-mm) return ;;
    --grout-mm) return ;;
    --spare) return ;;
    --pack) return ;;
    --paper) COMPREPLY=($(compgen -W "a4 letter" -- "$cur")); return ;;
    --chart) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    --shopping) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    --match) COMPREPLY=($(compgen -W "rgb ciede2000" -- "$cur")); return ;;
    --exclude) return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "--par --set --colors --tile --grout --grout-gray --table --csv -o --tiles --tile-mm --grout-mm --spare --pack --paper --chart --shopping --match --tile-dither --keep-palette --exclude --quiet --help --help-fields --version" -- "$cur")); return
  fi
  # The first word that is neither an option nor its value is the input picture.
  local i words=0
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      --set) ((i++)); [[ ${COMP_WORDS[i+1]} == = ]] && ((i += 2)) ;;
      --par|--set|--colors|--tile|--grout|--grout-gray|--table|--csv|-o|--tiles|--tile-mm|--grout-mm|--spare|--pack|--paper|--chart|--shopping|--match|--exclude) ((i++)) ;;
      -*) ;;
      *) ((words++)) ;;
    esac
  done
  if ((words == 0)); then COMPREPLY=($(compgen -f -- "$cur")); return; fi
  COMPREPLY=($(compgen -W "crop resize rotate-right rotate-180 rotate-left rotate flip-horizontal flip-vertical color gray bw invert posterize histogram smooth edge-preserving sharpen edge-detect denoise user-filter tiling truecolor" -- "$cur"))
}
complete -F _vellora_cli vellora-cli
